#include "logbook/qso_record.h"

#include "logbook/base/large_alloc.h"
#include "logbook/base/record_bytes.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace korval {

const TAwardFlagName AwardFlagNames[16] = {
    {"Cust Awd", afCustAwd},     {"County", afCounty},       {"DXCC band", afDxccBand},
    {"DXCC mixed", afDxccMixed}, {"DXCC mode", afDxccMode},  {"IOTA", afIota},
    {"VUCC", afVucc},            {"WAS band", afWasBand},    {"WAS mixed", afWasMixed},
    {"WAS mode", afWasMode},     {"WAZ band", afWazBand},    {"WAZ mixed", afWazMixed},
    {"WAZ mode", afWazMode},     {"WPX band", afWpxBand},    {"WPX mixed", afWpxMixed},
    {"WPX mode", afWpxMode},
};

namespace {

template <std::size_t N>
void PutStr(std::uint8_t* b, std::size_t off, const TShortStr<N>& s)
{
    PutShortStr(b, off, N, s.view());
}

// The stored field is a length byte and N characters: all N are read, and those past the
// length come out zero, in a loop of fixed length that the compiler turns into a few moves (a
// log load reads six of these per QSO).
template <std::size_t N>
void GetStr(const std::uint8_t* b, std::size_t off, TShortStr<N>& s)
{
    const std::size_t n = b[off] < N ? b[off] : N;
    const std::uint8_t* from = b + off + 1;
    char out[N];
    for (std::size_t i = 0; i < N; ++i)
        out[i] = i < n ? static_cast<char>(from[i]) : '\0';
    s.len = static_cast<std::uint8_t>(n);
    std::memcpy(s.s, out, N);
}

} // namespace

void PutQsoStored(std::uint8_t* b, const TQsoRecord& r)
{
    using namespace qso_off;
    PutStr(b, Call, r.Call);
    PutI32(b, Time, r.Time);
    PutU16(b, Date, r.Date);
    PutU8(b, Band, r.Band);
    PutU8(b, Mode, r.Mode);
    PutU32(b, AwardFlags, r.AwardFlags);
    PutU16(b, RstRcvd, r.RstRcvd);
    PutU16(b, RstSent, r.RstSent);
    PutU8(b, State, r.State);
    PutStr(b, Iota, r.Iota);
    PutU16(b, County, r.County);
    PutStr(b, Grid, r.Grid);
    PutU16(b, QslSentDate, r.QslSentDate);
    PutU8(b, QslRoute, r.QslRoute);
    PutU8(b, SatMode, r.SatMode);
    PutU8(b, Group, r.Group);
    PutU16(b, SeqPrtNr, r.SeqPrtNr);
    PutStr(b, Exchange, r.Exchange);
    PutU16(b, Country, r.Country);
    PutU8(b, Zone, r.Zone);
    PutU8(b, Flags, r.Flags);
    PutStr(b, CustAwdId, r.CustAwdId);
    PutStr(b, CustAwdVal, r.CustAwdVal);
}

void GetQsoStored(const std::uint8_t* b, TQsoRecord& r)
{
    using namespace qso_off;
    GetStr(b, Call, r.Call);
    r.Time = GetI32(b, Time);
    r.Date = GetU16(b, Date);
    r.Band = GetU8(b, Band);
    r.Mode = GetU8(b, Mode);
    r.AwardFlags = GetU32(b, AwardFlags);
    r.RstRcvd = GetU16(b, RstRcvd);
    r.RstSent = GetU16(b, RstSent);
    r.State = GetU8(b, State);
    GetStr(b, Iota, r.Iota);
    r.County = GetU16(b, County);
    GetStr(b, Grid, r.Grid);
    r.QslSentDate = GetU16(b, QslSentDate);
    r.QslRoute = GetU8(b, QslRoute);
    r.SatMode = GetU8(b, SatMode);
    r.Group = GetU8(b, Group);
    r.SeqPrtNr = GetU16(b, SeqPrtNr);
    GetStr(b, Exchange, r.Exchange);
    r.Country = GetU16(b, Country);
    r.Zone = GetU8(b, Zone);
    r.Flags = GetU8(b, Flags);
    GetStr(b, CustAwdId, r.CustAwdId);
    GetStr(b, CustAwdVal, r.CustAwdVal);
}

TNotePtr NewNote(std::string_view text)
{
    if (text.empty())
        return nullptr;
    std::size_t n = text.size() < 255 ? text.size() : 255;
    auto* p = new std::uint8_t[n + 1];
    p[0] = static_cast<std::uint8_t>(n);
    std::memcpy(p + 1, text.data(), n);
    return p;
}

// ---- note blocks ----

struct TNoteBlock {
    std::uint8_t* begin;
    std::size_t size;
    std::size_t used = 0;
    std::size_t live = 0;  // notes handed out and not freed
    bool open = true;      // still handing out notes
};

namespace {

constexpr std::size_t kLeastBlock = std::size_t(64) << 10;
constexpr std::size_t kLargestBlock = std::size_t(2) << 20;

// The blocks by address; few, and only the main thread makes and frees notes.
std::vector<TNoteBlock*>& Blocks()
{
    static std::vector<TNoteBlock*> blocks;
    return blocks;
}

TNoteBlock* BlockOf(const std::uint8_t* p)
{
    std::vector<TNoteBlock*>& blocks = Blocks();
    std::less<const std::uint8_t*> before;
    auto it = std::upper_bound(blocks.begin(), blocks.end(), p,
                               [&before](const std::uint8_t* q, const TNoteBlock* b) { return before(q, b->begin); });
    if (it == blocks.begin())
        return nullptr;
    TNoteBlock* b = *(it - 1);
    return before(p, b->begin + b->size) ? b : nullptr;
}

void Release(TNoteBlock* b)
{
    std::vector<TNoteBlock*>& blocks = Blocks();
    blocks.erase(std::find(blocks.begin(), blocks.end(), b));
    LargeFree(b->begin);
    delete b;
}

} // namespace

void FreeNote(TNotePtr note)
{
    if (!note)
        return;
    if (!Blocks().empty()) {
        if (TNoteBlock* b = BlockOf(note)) {
            if (--b->live == 0 && !b->open)
                Release(b);
            return;
        }
    }
    delete[] note;
}

TNoteBlocks::TNoteBlocks(std::size_t expectedBytes)
    : nextSize_(std::clamp(expectedBytes, kLeastBlock, kLargestBlock))
{
}

TNoteBlocks::~TNoteBlocks() { Close(); }

void TNoteBlocks::Close()
{
    if (!current_)
        return;
    current_->open = false;
    if (current_->live == 0)
        Release(current_);
    current_ = nullptr;
}

TNotePtr TNoteBlocks::New(std::string_view text)
{
    if (text.empty())
        return nullptr;
    const std::size_t n = text.size() < 255 ? text.size() : 255;
    if (!current_ || current_->size - current_->used < n + 1) {
        Close();
        auto block = std::make_unique<TNoteBlock>();
        block->size = nextSize_;
        block->begin = static_cast<std::uint8_t*>(LargeAlloc(block->size));
        nextSize_ = std::min(nextSize_ * 2, kLargestBlock);
        std::vector<TNoteBlock*>& blocks = Blocks();
        std::less<const std::uint8_t*> before;
        auto at = std::upper_bound(blocks.begin(), blocks.end(), block.get(),
                                   [&before](const TNoteBlock* a, const TNoteBlock* b) { return before(a->begin, b->begin); });
        try {
            blocks.insert(at, block.get());
        } catch (...) {
            LargeFree(block->begin);
            throw;
        }
        current_ = block.release();
    }
    std::uint8_t* p = current_->begin + current_->used;
    p[0] = static_cast<std::uint8_t>(n);
    std::memcpy(p + 1, text.data(), n);
    current_->used += n + 1;
    ++current_->live;
    return p;
}

void SetQsoNote(TQsoRecord& rec, std::string_view text)
{
    TNotePtr n = NewNote(text);
    FreeNote(rec.Note);
    rec.Note = n;
}

} // namespace korval
