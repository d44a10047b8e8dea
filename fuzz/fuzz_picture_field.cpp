// Picture masks with the field engines: a mask (up to the first byte 0) on a picture, numeric
// or simple field of a data type, then a run of editing commands and typed characters.
#include "fuzz/fuzz_support.h"

#include "entry/ovc_exceptions.h"
#include "entry/ovc_numeric_engine.h"
#include "entry/ovc_picture_engine.h"
#include "entry/ovc_picture_mask.h"
#include "entry/ovc_simple_engine.h"

#include <memory>

using namespace korval;

namespace {

class TQuietHost : public TOvcFieldHost {
public:
    std::string clip = "12AB-34";
    int ControllerEpoch() const override { return 1930; }
    std::string ClipboardText() const override { return clip; }
    void SetClipboardText(const std::string& s) override { clip = s; }
    TStDate Today() const override { return 150000; }
    TStTime TimeNow() const override { return 43200; }
};

void Drive(TOvcFieldEngine& f, std::string_view commands)
{
    for (std::size_t i = 0; i + 1 < commands.size(); i += 2) {
        const auto cmd = static_cast<std::uint8_t>(commands[i]);
        const char ch = commands[i + 1];
        try {
            if (cmd == 0xFF)
                f.ValidateContents(false);
            else if (cmd == 0xFE)
                f.FocusLost();
            else if (cmd == 0xFD)
                f.FocusGained(false);
            else
                f.ExecuteCommand(cmd, TOvcEditMsg{ch, static_cast<std::uint8_t>(ch) % 40, (cmd & 1) != 0});
        } catch (const EOvcException&) {  // a field's own errors: ranges, validation
        }
        f.efGetDisplayString();
    }
    f.ValidateContents(false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInputTaker in(data, size);
    const std::uint8_t kind = in.Byte();
    const std::uint8_t type = in.Byte();
    std::string_view mask, commands;
    fuzz::SplitAtNul(in.Rest(), mask, commands);
    const std::string maskText(mask.substr(0, 255));
    TQuietHost host;

    {
        TOvcPictureMask pm(maskText, type);
        pm.BuildPositionFlags();
        pm.MergeValueIntoMask(std::string(commands.substr(0, 64)));
        pm.StripMaskLiterals(std::string(commands.substr(0, 64)));
        pm.DecimalPos();
        pm.LastEditablePosition();
    }
    try {
        switch (kind % 3) {
        case 0: {
            TOvcPictureFieldEngine f(&host);
            f.SetDataType(type % 16);
            f.SetPictureMask(maskText);
            f.SetAsString(std::string(commands.substr(0, 32)));
            Drive(f, commands);
            f.GetStrippedText();
            break;
        }
        case 1: {
            TOvcNumericFieldEngine f(&host);
            f.SetNumericDataType(type % 16);
            f.SetNumericPictureMask(maskText);
            Drive(f, commands);
            break;
        }
        default: {
            TOvcSimpleFieldEngine f(&host);
            f.SetDataType(type % 16);
            if (!maskText.empty())
                f.SetPictureMask(maskText[0]);
            Drive(f, commands);
            break;
        }
        }
    } catch (const EOvcException&) {  // a mask or data type the field refuses
    }
    return 0;
}
