#pragma once
// One QSO as the logbook holds it, with the byte layout in which it is stored in the log file.
// The in-memory record keeps its fields as plain members; the stored form (the first 75 bytes
// of the 87-byte record) is written and read field by field at the offsets below.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace korval {

// A fixed-capacity short string: one length byte and N characters, as in the program's records.
// Unused characters are kept zero so that two records with equal contents are equal byte for byte.
template <std::size_t N>
struct TShortStr {
    std::uint8_t len = 0;
    char s[N] = {};

    std::string_view view() const { return {s, len <= N ? len : N}; }
    std::string str() const { return std::string(view()); }
    bool empty() const { return len == 0; }
    void assign(std::string_view v)
    {
        std::size_t n = v.size() < N ? v.size() : N;
        len = static_cast<std::uint8_t>(n);
        if (n)
            std::memcpy(s, v.data(), n);
        std::memset(s + n, 0, N - n);
    }
    void clear() { assign({}); }
    TShortStr& operator=(std::string_view v)
    {
        assign(v);
        return *this;
    }
    friend bool operator==(const TShortStr& a, const TShortStr& b) { return a.view() == b.view(); }
    friend bool operator==(const TShortStr& a, std::string_view b) { return a.view() == b; }
};

// Flag bits of TQsoRecord::Flags.
enum : std::uint8_t {
    qfFiveBand = 1,      // selected for a five-band award submission
    qfQslReceived = 2,
    qfLabelToPrint = 4,
    qfYL = 8,
    qfQRP = 16,
    qfValidForAwards = 32,
};

// Award-flag word: the submitted bit of each award; the credited bit is the next one up.
enum : std::uint32_t {
    afVucc = 0x1,
    afDxccMixed = 0x4,
    afDxccMode = 0x10,
    afDxccBand = 0x40,
    afWasMixed = 0x100,
    afWasBand = 0x400,
    afWasMode = 0x1000,
    afWazMixed = 0x4000,
    afWazMode = 0x10000,
    afWazBand = 0x40000,
    afIota = 0x100000,
    afWpxBand = 0x400000,
    afCounty = 0x01000000,
    afCustAwd = 0x04000000,
    afWpxMixed = 0x10000000,
    afWpxMode = 0x40000000,
};

struct TAwardFlagName {
    const char* name;
    std::uint32_t mask;
};
// The awards as the award-flag dialogs name them, in the order they list them.
extern const TAwardFlagName AwardFlagNames[16];

// The QSO's note: a heap short string (length byte, then the characters) or null.
using TNotePtr = std::uint8_t*;

// The members are ordered for a compact record (96 bytes: a million-QSO log is a hundred
// megabytes of them), not by their stored offsets, which the comments give.
struct TQsoRecord {
    TNotePtr Note = nullptr;       // 83: not stored; freed with the record by its owner
    std::int32_t Time = 0;         // 13: seconds since 00:00 UTC
    std::uint32_t AwardFlags = 0;  // 21
    std::uint16_t Date = 0;        // 17: TDayNumber
    std::uint16_t RstRcvd = 0;     // 25: 1000 and above is an aurora report
    std::uint16_t RstSent = 0;     // 27
    std::uint16_t County = 0;      // 36
    std::uint16_t QslSentDate = 0; // 45: 0 = not sent
    std::uint16_t SeqPrtNr = 0;    // 50: QSL print sequence number
    std::uint16_t Country = 0;     // 57: position in the country list
    std::uint8_t Band = 0;         // 19: 1 to 15
    std::uint8_t Mode = 0;         // 20: 1 to 15
    std::uint8_t State = 0;        // 29: position in the state list, 0 = none
    std::uint8_t QslRoute = 0;     // 47: 0 = none, else 1-based in the QSL-route list
    std::uint8_t SatMode = 0;      // 48: 1-based in the satellite-mode list; 0 and 1 = none
    std::uint8_t Group = 0;        // 49: 0 = no group
    std::uint8_t Zone = 0;         // 59: CQ zone
    std::uint8_t Flags = 0;        // 60: qf... bits
    // Not stored: the QSO's label went out in the last label run. Kept apart from the flag byte,
    // whose bit 1 is the stored five-band mark.
    bool LabelPrinted = false;
    TShortStr<12> Call;            // 0
    TShortStr<5> Iota;             // 30: without the '-'
    TShortStr<6> Grid;             // 38
    TShortStr<4> Exchange;         // 52: received exchange
    TShortStr<4> CustAwdId;        // 61
    TShortStr<8> CustAwdVal;       // 66
    TShortStr<7> WpxPrefix;        // 75: derived from the call, not stored

    bool HasFlag(std::uint8_t f) const { return (Flags & f) != 0; }
};
static_assert(sizeof(TQsoRecord) <= 96);

// Sizes of the record in the program's own terms: 87 bytes in memory (with a 4-byte note
// pointer), of which the first 75 are stored per QSO in the log file.
inline constexpr std::size_t kQsoRecordSize = 87;
inline constexpr std::size_t kQsoStoredSize = 75;

// Stored offsets, pinned by a test.
namespace qso_off {
inline constexpr std::size_t Call = 0, Time = 13, Date = 17, Band = 19, Mode = 20, AwardFlags = 21,
                             RstRcvd = 25, RstSent = 27, State = 29, Iota = 30, County = 36, Grid = 38,
                             QslSentDate = 45, QslRoute = 47, SatMode = 48, Group = 49, SeqPrtNr = 50,
                             Exchange = 52, Country = 57, Zone = 59, Flags = 60, CustAwdId = 61,
                             CustAwdVal = 66, WpxPrefix = 75, Note = 83;
}

// Writes the 75 stored bytes of rec to b.
void PutQsoStored(std::uint8_t* b, const TQsoRecord& rec);
// Reads the 75 stored bytes into rec (the derived prefix and the note are left as they are).
// A length byte above a field's capacity is clamped to it.
void GetQsoStored(const std::uint8_t* b, TQsoRecord& rec);

// Notes: heap short strings of exactly length + 1 bytes; texts longer than 255 are cut.
TNotePtr NewNote(std::string_view text);  // null for an empty text
// Frees a note of NewNote or of a TNoteBlocks.
void FreeNote(TNotePtr note);

// Notes made in bulk (a log load, an import) packed into shared blocks, where a heap block each
// was a tenth of a million-QSO load. They are notes like any other: FreeNote takes them, and a
// block goes once its last note is freed and it is closed (with the TNoteBlocks).
struct TNoteBlock;
class TNoteBlocks {
public:
    // expectedBytes: about how much text will come (the size of the first block).
    explicit TNoteBlocks(std::size_t expectedBytes = 0);
    ~TNoteBlocks();
    TNoteBlocks(const TNoteBlocks&) = delete;
    TNoteBlocks& operator=(const TNoteBlocks&) = delete;
    // As NewNote.
    TNotePtr New(std::string_view text);

private:
    void Close();
    TNoteBlock* current_ = nullptr;
    std::size_t nextSize_;
};
inline std::string_view NoteText(const std::uint8_t* note)
{
    return note ? std::string_view(reinterpret_cast<const char*>(note + 1), note[0]) : std::string_view();
}
// Replaces the record's note (frees the old one).
void SetQsoNote(TQsoRecord& rec, std::string_view text);

} // namespace korval
