#!/usr/bin/env bash
# Takes the metainfo's screenshots with --snapshot, into data/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p data/screenshots
build/rkm7500 --snapshot data/screenshots/month.png
build/rkm7500 --snapshot data/screenshots/year.png --replay 'click 900 200; type 2026; key Enter; type 1; key Enter'
