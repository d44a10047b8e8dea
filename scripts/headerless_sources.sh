#!/bin/sh
# Lists the program's .cpp files that have no header named after them. A class whose
# implementation is spread over several files may name the others <header>_<part>.cpp when they
# include <header>.h (base_report_tabs.cpp with base_report.h). Program entry points, tests,
# benchmarks and fuzz harnesses have no header by design. Exits 1 when any file is listed.
cd "$(dirname "$0")/.." || exit 2
found=0
for cpp in $(git ls-files '*.cpp'); do
    case "$cpp" in
        tests/*|bench/*|fuzz/fuzz_*|*/main.cpp|main.cpp|tools/make_*.cpp) continue ;;
    esac
    [ -f "${cpp%.cpp}.h" ] && continue
    dir=$(dirname "$cpp")
    stem=$(basename "$cpp" .cpp)
    owned=0
    while case "$stem" in *_*) true ;; *) false ;; esac; do
        stem=${stem%_*}
        if [ -f "$dir/$stem.h" ] && grep -q "^#include \"$dir/$stem.h\"" "$cpp"; then
            owned=1
            break
        fi
    done
    [ $owned = 1 ] && continue
    echo "$cpp"
    found=1
done
exit $found
