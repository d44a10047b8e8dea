#include "exchange/adif_kept_values.h"

#include "exchange/adif_modes.h"

namespace korval {

namespace {

constexpr std::string_view kPrefix = "ADIF<";

struct TField {
    const char* Tag;
    std::string TAdifKeptValues::*Value;
};
const TField fields[] = {
    {"MODE", &TAdifKeptValues::Mode},         {"SUBMODE", &TAdifKeptValues::Submode},
    {"RST_SENT", &TAdifKeptValues::RstSent},  {"RST_RCVD", &TAdifKeptValues::RstRcvd},
    {"BAND", &TAdifKeptValues::Band},         {"FREQ", &TAdifKeptValues::Freq},
};

bool isAdifFrequency(std::string_view text)
{
    double mhz = 0;
    return ReadReal(text, mhz) && AdifBandOfFrequency(mhz)[0] != '\0';
}

} // namespace

bool TAdifKeptValues::Empty() const
{
    for (const auto& f : fields)
        if (!(this->*f.Value).empty())
            return false;
    return true;
}

std::string TAdifKeptValues::NoteItem() const
{
    if (Empty())
        return {};
    std::string s = "ADIF";
    for (const auto& f : fields) {
        const std::string& v = this->*f.Value;
        if (v.empty())
            continue;
        s += '<';
        s += f.Tag;
        s += ':';
        s += std::to_string(v.size());
        s += '>';
        s += v;
    }
    return s;
}

bool TAdifKeptValues::FromNoteItem(std::string_view line, TAdifKeptValues& kept)
{
    if (line.substr(0, kPrefix.size()) != kPrefix)
        return false;
    TAdifKeptValues k;
    std::size_t p = 4;
    while (p < line.size()) {
        if (line[p] != '<')
            return false;
        std::size_t colon = line.find(':', p);
        std::size_t close = colon == std::string_view::npos ? colon : line.find('>', colon);
        if (close == std::string_view::npos)
            return false;
        std::string_view tag = line.substr(p + 1, colon - p - 1);
        std::size_t len = 0;
        for (std::size_t i = colon + 1; i < close; ++i) {
            if (line[i] < '0' || line[i] > '9' || len > 255)
                return false;
            len = len * 10 + static_cast<std::size_t>(line[i] - '0');
        }
        if (close + 1 + len > line.size() || len == 0)
            return false;
        std::string* target = nullptr;
        for (const auto& f : fields)
            if (tag == f.Tag)
                target = &(k.*f.Value);
        if (!target)
            return false;
        target->assign(line.substr(close + 1, len));
        p = close + 1 + len;
    }
    if (k.Empty())
        return false;
    kept = std::move(k);
    return true;
}

TAdifNoteParts SplitAdifNote(std::string_view note)
{
    TAdifNoteParts parts;
    // Fast path: most notes hold neither a kept item nor a frequency line.
    if (note.find("ADIF<") == std::string_view::npos && note.find("Freq=") == std::string_view::npos) {
        parts.Comment.assign(note);
        return parts;
    }
    std::size_t start = 0;
    bool haveKept = false, haveFreq = false, first = true;
    while (start <= note.size()) {
        std::size_t end = note.find('|', start);
        if (end == std::string_view::npos)
            end = note.size();
        std::string_view line = note.substr(start, end - start);
        start = end + 1;
        if (!haveKept && TAdifKeptValues::FromNoteItem(line, parts.Kept)) {
            haveKept = true;
            continue;
        }
        if (!haveFreq && line.substr(0, 5) == "Freq=" && isAdifFrequency(line.substr(5))) {
            haveFreq = true;
            parts.Freq.assign(line.substr(5));
        }
        if (!first)
            parts.Comment += '|';
        parts.Comment.append(line);
        first = false;
    }
    return parts;
}

} // namespace korval
