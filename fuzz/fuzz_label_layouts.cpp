// The label layouts file (SAVE/KORVAL.LAB): 116-byte records back to back, damaged ones left out,
// then the checks before printing and the label rectangles of every layout read.
#include "fuzz/fuzz_support.h"

#include "exchange/label_layout.h"
#include "logbook/config_record.h"

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file = fuzz::WriteHomeFile("KORVAL.LAB", std::string_view(reinterpret_cast<const char*>(data), size));
    const TLabelLayoutList list = LoadLabelLayouts(file, TConfigRecord());
    for (const TLabelLayout& l : list.Layouts) {
        double w = 0, h = 0;
        LabelPageSize(l, w, h);
        ValidateLabelLayout(l, w, h);
        LabelRectAt(l, l.NumDown, l.NumAcross);
        TLabelPositions p(l);
        for (int i = 0; i < 3; ++i)
            p.Next();
        std::uint8_t back[TLabelLayout::kSize];
        l.ToBytes(back);
    }
    return 0;
}
