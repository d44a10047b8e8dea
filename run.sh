#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Korval.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release --target korval
exec build-release/app/korval "$@"
