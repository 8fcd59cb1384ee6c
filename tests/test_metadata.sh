#!/usr/bin/env bash
# The desktop entry, the metainfo and the manual page pass their checkers
# without a word, and the manual lists exactly the options --help lists.
# Usage: test_metadata.sh SOURCE BUILD APP_ID
set -euo pipefail
say=$(desktop-file-validate "$1/data/$3.desktop" 2>&1)
say+=$(appstreamcli validate --no-net "$2/share/metainfo/$3.metainfo.xml" 2>&1 | grep -v '^✔' || true)
say+=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$2/data/doc/rkm7500.1" 2>&1 >/dev/null)
options() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }
in_help=$("$2/rkm7500" --help | grep -E '^  ' | sed 's/^ *//;s/  .*//' | options)
in_manual=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$2/data/doc/rkm7500.1" | grep -A1 '^\.TP' |
  sed 's/\\-/-/g;s/\\f.//g' | grep -v '^\.TP' | options)
[ -n "$in_help" ] && [ "$in_help" = "$in_manual" ] ||
  say+=$'\n'"options: --help lists ["$in_help"], the manual ["$in_manual"]"
[ -z "$say" ] || { echo "$say"; exit 1; }
