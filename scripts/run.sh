#!/usr/bin/env bash
# Installs what the calendar needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec build/rkm7500 "$@"
