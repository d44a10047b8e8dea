// Build-time tool: converts the public cty.dat into the default country database KORVAL.CTY.
//   make_korval_cty <cty.dat> <KORVAL.CTY> [<us_counties.txt>]
// Prints what it converted and every entry the file format cannot hold. The output depends only
// on the input, so the shipped file can be checked against a fresh conversion.
#include "platform/atomic_file.h"
#include "tools/cty_convert.h"

#include <cstdio>
#include <fstream>
#include <iterator>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s <cty.dat> <KORVAL.CTY> [<us_counties.txt>]\n", argv[0]);
        return 2;
    }
    std::string counties;
    if (argc == 4) {
        std::ifstream c(argv[3], std::ios::binary);
        if (!c) {
            std::fprintf(stderr, "cannot read %s\n", argv[3]);
            return 1;
        }
        counties.assign(std::istreambuf_iterator<char>(c), std::istreambuf_iterator<char>());
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        korval::cty::TConvertReport r;
        const std::string bytes = korval::cty::ConvertCtyDat(text, r, counties);
        korval::WriteFileAtomically(argv[2], bytes);
        std::printf("%s: %d countries, %d prefix mappings (%d of them primary prefixes), %d exception calls\n",
                    argv[2], r.countries, r.prefixMappings, r.primaryPrefixMappings, r.exceptionCalls);
        std::printf("%d WAE-only entities folded into their DXCC entity, %d duplicate entries skipped\n",
                    r.waeEntitiesMerged, r.duplicateEntries);
        std::printf("%d US counties\n", r.counties);
        std::printf("Overrides not kept: %d ITU zone, %d position/continent/UTC offset\n", r.ituOverrides,
                    r.otherOverrides);
        std::printf("%zu entries the format cannot hold:\n", r.dropped.size());
        for (const std::string& d : r.dropped)
            std::printf("  %s\n", d.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
