#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sources velquist-cli's bash completion as bash-completion would and checks what it offers.
# Called as: CompletionTest.sh COMPLETION_FILE; exit 77 (skipped) without bash-completion.
set -uo pipefail
library=/usr/share/bash-completion/bash_completion
[[ -r "$library" ]] || { echo "bash-completion is not installed"; exit 77; }
# shellcheck disable=SC1090
source "$library"
source "$1"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"
touch "$work/holiday.bmp" "$work/beach.PNG" "$work/notes.txt"
cd "$work" || exit 1

failures=0
# expect "COMMAND LINE WITH CURSOR AT END" "EXPECTED REPLIES, SORTED"
expect() {
    local line="$1" want="$2"
    read -r -a COMP_WORDS <<<"$line"
    [[ "$line" == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$line"
    COMP_POINT=${#line}
    COMPREPLY=()
    _velquist_cli velquist-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got="$(printf '%s\n' "${COMPREPLY[@]}" | sed 's:/$::' | sort | xargs)"
    if [[ "$got" != "$want" ]]; then
        echo "'$line': offered '$got', expected '$want'"
        failures=$((failures + 1))
    fi
}

expect "velquist-cli " "--help --version extract hide inspect wipe"
expect "velquist-cli ex" "extract"
expect "velquist-cli hide holiday.bmp notes.txt --" "--format --password --password-stdin"
expect "velquist-cli hide holiday.bmp notes.txt --format " "1 2 3"
expect "velquist-cli extract holiday.bmp --" "--force --output-dir --password --password-stdin --wipe"
expect "velquist-cli wipe beach.PNG --" "--password --password-stdin"
expect "velquist-cli inspect " "beach.PNG holiday.bmp out"
expect "velquist-cli hide holiday.bmp " "beach.PNG holiday.bmp notes.txt out"
expect "velquist-cli extract holiday.bmp --output-dir " "out"
expect "velquist-cli wipe holiday.bmp " ""
exit $((failures > 0))
