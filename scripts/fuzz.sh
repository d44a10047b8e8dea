#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang 14, AddressSanitizer and UBSan) and runs each one for a
# bounded time over its seeds. Fails on any crash, sanitizer report, leak, time-out or memory
# blow-up; the input that showed it is kept in build-fuzz/findings/.
#
#   scripts/fuzz.sh                     every harness, FUZZ_SECONDS (default 15) each
#   scripts/fuzz.sh fuzz_log_file ...   only these
#   FUZZ_SECONDS=3600 scripts/fuzz.sh fuzz_adif_import     one harness for an hour
#   FUZZ_RUNS=10000000 scripts/fuzz.sh fuzz_parsers        a number of executions instead
#   FUZZ_RUNS=10000000 FUZZ_SECONDS=3600 scripts/fuzz.sh     whichever limit comes first
#
# The corpus of each harness grows in build-fuzz/corpus/<harness> and is kept between runs; it
# is seeded from fuzz/seeds/, tests/*/data, data/ and the shared data folder (../shared/data, or
# KORVAL_SHARED_DATA) when present. FUZZ_JOBS sets the build's parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-15}
runs=${FUZZ_RUNS:-}
jobs=${FUZZ_JOBS:-$(nproc)}
build=build-fuzz
shared=${KORVAL_SHARED_DATA:-../shared/data}

scripts/deps.sh clang-14 libclang-rt-14-dev llvm-14

cmake -S . -B "$build" -G Ninja -DKORVAL_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build "$build" -j "$jobs" --target korval_fuzzers

# Seeds of each harness (globs over the repository and the shared data), besides its own small
# seeds in fuzz/seeds/<harness>/.
seeds_of() {
  echo "fuzz/seeds/$1/*"
  case "$1" in
    fuzz_log_file) echo "tests/logbook/data/*.KVL tests/*/data/*.kvl" ;;
    fuzz_country_file | fuzz_sorted_collection) echo "data/SAVE/KORVAL.CTY tests/*/data/*.cty $shared/bad-input/*.cty" ;;
    fuzz_config) echo "tests/*/data/*.cfg $shared/bad-input/*.cfg" ;;
    fuzz_adif_import) echo "tests/*/data/*.adi $shared/adif/*.adi $shared/bad-input/*.adi" ;;
    fuzz_cty_dat) echo "data/cty/cty.dat $shared/cty/cty.dat" ;;
    fuzz_report_stream) echo "tests/reporting/data/*.stream" ;;
    fuzz_wav) echo "data/sounds/A.WAV data/sounds/W.WAV" ;;
    fuzz_label_layouts) echo "data/SAVE/KORVAL.LAB" ;;
    *) echo "" ;;
  esac
}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=()
  for f in fuzz/fuzz_*.cpp; do
    name=$(basename "$f" .cpp)
    [ "$name" = fuzz_support ] || targets+=("$name")
  done
fi

# A quarantine of 64 MB still holds every block freed during many runs (one run frees a few MB at
# most), and it halves the time of the import harnesses: with the default 256 MB each run's
# allocations land on memory the system has to fault in again.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1:quarantine_size_mb=64
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=
symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer"

mkdir -p "$build/findings"
failed=()
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  for pattern in $(seeds_of "$t"); do
    for f in $pattern; do
      [ -f "$f" ] && cp -n "$f" "$corpus/" 2>/dev/null || true
    done
  done
  # The binary files need their full size. The text imports read, export and read again every
  # record: 4 KB (a header and a dozen records, or a fixed layout and some fifty lines) reaches
  # every path of the readers, and longer inputs only slow each run down.
  # cty.dat is read whole into a country database: 16 KB holds some forty countries with every
  # kind of prefix and exception. A label file and a filter file are rows of like records: 4 KB
  # holds 35 layouts or 21 filters (duplicate IDs, sorting and copies among them), and files of
  # hundreds only take each run several times longer.
  max_len=65536
  case "$t" in
    fuzz_adif_import | fuzz_fixed_import | fuzz_label_layouts | fuzz_filter_file) max_len=4096 ;;
    fuzz_cty_dat) max_len=16384 ;;
  esac
  limit=(-max_total_time="$seconds")
  what="$seconds s"
  if [ -n "$runs" ] && [ -n "${FUZZ_SECONDS:-}" ]; then
    limit+=(-runs="$runs")
    what="$runs runs or $seconds s"
  elif [ -n "$runs" ]; then
    limit=(-runs="$runs")
    what="$runs runs"
  fi
  echo "== $t ($what, corpus $(ls "$corpus" | wc -l) files)"
  if ! "$build/fuzz/$t" "$corpus" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -print_final_stats=1 -artifact_prefix="$build/findings/$t-" >"$build/$t.log" 2>&1; then
    failed+=("$t")
    tail -n 60 "$build/$t.log"
  else
    grep -E "^stat::(number_of_executed_units|average_exec_per_sec)|^#[0-9]+.*DONE" "$build/$t.log" | tail -n 3 || true
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
echo "Fuzzing: ${#targets[@]} harnesses ran without a finding"
