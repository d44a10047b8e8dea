#!/usr/bin/env bash
# Installs the Debian packages Korval builds with, and any further ones named on the command line
# (scripts/deps.sh clang-14 ...), when any is missing. The window and print tests measure text in
# a real font, DejaVu Sans; the tests also run on desktops whose numbers have a decimal comma, so
# the German and Russian locales are generated.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libasound2-dev
          libgtest-dev libgmock-dev libbenchmark-dev poppler-utils fonts-dejavu-core locales "$@")
locales=(de_DE ru_RU)

sudo=""
as_root() {
  if [ "$(id -u)" -ne 0 ] && [ -z "$sudo" ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to $*" >&2; exit 1; }
    sudo=sudo
  fi
  $sudo "$@"
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "$l.utf8" && continue
  echo "Generating the locale $l.UTF-8"
  as_root localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
