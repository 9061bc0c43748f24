#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every manual reads on an 80-column terminal: no rendered line is wider, examples included.
# Usage: ManPageWidthTest.sh PAGE...   (skipped, status 77, where nroff is missing)
set -euo pipefail
command -v nroff >/dev/null || { echo "nroff is missing"; exit 77; }
status=0
for page in "$@"; do
  widest=$(nroff -man -rLL=80n -Tutf8 "$page" 2>/dev/null | col -bx | LC_ALL=C.UTF-8 wc -L)
  if [ "$widest" -gt 80 ]; then
    echo "$page: a line is $widest columns wide"
    nroff -man -rLL=80n -Tutf8 "$page" 2>/dev/null | col -bx |
      LC_ALL=C.UTF-8 awk 'length > 80 { print "  " $0 }'
    status=1
  fi
done
exit "$status"
