// The own callsign in the texts that stand for it and the home country it belongs to.
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"

namespace korval {

namespace {
std::string ReplaceTilde(std::string text, const std::string& call)
{
    std::string out;
    for (char c : text) {
        if (c == '~')
            out += call;
        else
            out += c;
    }
    return out; // the setters cut the text to the field's capacity
}
} // namespace

void ApplyOwnCallsign()
{
    const std::string call = Config.OwnCall();
    for (int i = 0; i < 3; ++i)
        Config.SetLabelGreeting(i, ReplaceTilde(Config.LabelGreeting(i), call));
    for (int i = 0; i < 4; ++i)
        Config.SetTalkPattern(i, ReplaceTilde(Config.TalkPattern(i), call));
    if (!CountryDb.Loaded())
        return;
    const std::uint16_t own = CountryOfCall(call, UtcToday());
    if (own != 0) {
        MarkHomeCountry(own);
        SetCountryDataModified();
    }
}

} // namespace korval
