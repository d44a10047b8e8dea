#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer and UBSan; the benchmarks are
# built too, so they keep compiling, but not run) and runs ctest offscreen twice, the
# second time in a German locale.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVAL_TESTS=ON -DKORVAL_SANITIZE=ON -DKORVAL_BENCH=ON >/dev/null
cmake --build build-test
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# A leak fails the test that made it; an ASAN_OPTIONS of the caller replaces this (detect_leaks=0 to look past one).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
cd build-test
ctest --output-on-failure -j "$(nproc)" "$@"
# Once more as on a desktop whose numbers have a decimal comma: the window toolkit hands the
# desktop's locale to the C library, and nothing in a file or on the wire may change with it.
LC_ALL=de_DE.UTF-8 ctest --output-on-failure -j "$(nproc)" "$@"
