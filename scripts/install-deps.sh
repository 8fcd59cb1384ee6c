#!/usr/bin/env bash
# Installs every Debian package the calendar needs to build, run and test.
# Packages already installed are skipped; `apt-get update` runs once, and only
# when something is missing. Needs root (or sudo) on Debian 12.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  # window, input, beep; X11 for finding other programs' windows and the window
  # manager; Wayland for checking that a compositor has input before SDL starts
  libsdl2-dev libx11-dev libwayland-dev
  # drawing, PNG, PDF, fonts
  libcairo2-dev libfontconfig-dev libfreetype-dev
  # printing
  libcups2-dev cups cups-client cups-bsd printer-driver-cups-pdf
  # the traditional notes (astronomy), the user's calendars (iCalendar, HTTP)
  liberfa-dev libical-dev libcurl4-openssl-dev
  # fonts: Japanese gothic, mincho, rounded gothic, metric-compatible sans
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-motoya-l-maruberi fonts-liberation2
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool openbox poppler-utils faketime
  # test oracles and servers: a second ephemeris, an independent iCalendar
  # reader and recurrence rules, a CalDAV server, certificates for a TLS
  # server no one trusts; a Wayland compositor without a screen and its
  # screenshot tool
  python3-ephem python3-icalendar python3-dateutil radicale openssl sway grim
  # icons rendered at build time; the desktop files' checkers, the manual
  # page's renderer and the package's checker
  librsvg2-bin desktop-file-utils appstream man-db lintian
  # fuzzing: clang with its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
