#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the built tree into the two Debian packages and runs lintian on them; any error or
# warning fails. Called as: LintPackages.sh BUILD_DIR WORK_DIR; exit 77 (skipped) without lintian.
set -uo pipefail
build="$1" work="$2"
command -v lintian >/dev/null || { echo "lintian is not installed"; exit 77; }

rm -rf "$work"
if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work.log" 2>&1; then
    cat "$work.log"
    exit 1
fi
debs=("$work"/*.deb)
names="$(for deb in "${debs[@]}"; do dpkg-deb --field "$deb" Package; done | sort | xargs)"
if [[ "$names" != "velquist velquist-cli" ]]; then
    echo "expected the packages velquist and velquist-cli, got: $names"
    exit 1
fi

report="$(lintian --info "${debs[@]}" 2>&1)"
printf '%s\n' "$report"
if grep -q '^[EW]: ' <<<"$report"; then
    echo "lintian reports errors or warnings"
    exit 1
fi
