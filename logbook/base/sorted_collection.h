#pragma once
// Sorted collections of plain records (heap blocks of bytes) kept in key order and stored in
// binary streams as a whole: the country database, the import translation tables and the
// reference-data editors hold their data in these.
//
// Positions are identities: a country's number is its position in the key order of the
// countries collection. Loading therefore trusts the stored order and never re-sorts; a stream
// whose records are out of order, or whose sizes and counts do not fit the bytes present, is
// refused with EReadError and the collection is left empty.
#include "logbook/base/my_list.h"
#include "logbook/base/stream.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

// Two short strings (length byte, then the characters), byte by byte (unsigned) over the common
// length; on an equal common part the shorter sorts first. Result -1, 0 or 1.
inline std::int32_t CompareShortStr(const void* a, const void* b)
{
    const auto* x = static_cast<const std::uint8_t*>(a);
    const auto* y = static_cast<const std::uint8_t*>(b);
    unsigned lx = x[0], ly = y[0];
    int r = std::memcmp(x + 1, y + 1, lx < ly ? lx : ly);
    if (r != 0)
        return r < 0 ? -1 : 1;
    return lx < ly ? -1 : lx > ly ? 1 : 0;
}

// As CompareShortStr, but the letters a to z compare as A to Z (nothing else is folded).
inline std::int32_t CompareShortText(const void* a, const void* b)
{
    const auto* x = static_cast<const std::uint8_t*>(a);
    const auto* y = static_cast<const std::uint8_t*>(b);
    unsigned lx = x[0], ly = y[0];
    unsigned n = lx < ly ? lx : ly;
    for (unsigned i = 1; i <= n; ++i) {
        unsigned cx = x[i], cy = y[i];
        if (cx - 'a' < 26u)
            cx -= 32;
        if (cy - 'a' < 26u)
            cy -= 32;
        if (cx != cy)
            return cx < cy ? -1 : 1;
    }
    return lx < ly ? -1 : lx > ly ? 1 : 0;
}

// A short string built from text (cut to 255 characters), to pass as a search key.
using TShortStrKey = std::array<std::uint8_t, 256>;
inline TShortStrKey MakeShortStrKey(std::string_view text)
{
    TShortStrKey key{};
    std::size_t n = text.size() < 255 ? text.size() : 255;
    key[0] = static_cast<std::uint8_t>(n);
    if (n != 0)  // an empty view may have no characters at all
        std::memcpy(key.data() + 1, text.data(), n);
    return key;
}

class TSortedCollection : public TMyList {
public:
    TSortedCollection() = default;

    // The key of an item; by default the item itself (a record that begins with its key string).
    virtual const void* KeyOf(const void* item) const { return item; }
    // By default the case-insensitive short-string compare.
    virtual std::int32_t Compare(const void* key1, const void* key2) const { return CompareShortText(key1, key2); }

    // Binary search: index = the first position whose key is not below the key (the first of
    // several equal ones); true when that key equals the key.
    bool Search(const void* key, std::int32_t& index) const;
    // Inserts in key order, before the items whose keys are equal; returns the position.
    std::int32_t Insert(void* item);
    using TMyList::Insert;
    // The position of the first item with that key, -1 when there is none.
    std::int32_t IndexOfKey(const void* key) const;
    // The short string with which item i begins.
    void GetKeyString(std::int32_t index, std::string& s) const;
    // Reads a stored count: 2 bytes (sign-extended) for old-format streams, else 4.
    std::int32_t ReadCount(TStream& stream) const;
    bool ShortCount() const { return shortCount_; }

protected:
    // Damage checks shared by the loaders; each raises EReadError.
    void CheckCount(TStream& stream, std::int32_t count, std::int64_t minBytesPerItem) const;
    void CheckOrder() const;
    // True when a loaded record of that size can be used safely. By default the record must
    // begin with a short string that lies inside it (the key of the default KeyOf and Compare).
    // A descendant whose records begin with something else (a date, a number) overrides this
    // with the checks its own Compare needs, or returns true.
    virtual bool RecordIsSound(const std::uint8_t* rec, std::size_t size) const;

    // How one collection's records lie in the stream, as its header word tells.
    struct TStoredLayout {
        bool sized;                    // each record is preceded by its 2-byte size
        std::uint16_t recordSize;      // the size of every record when not sized
        std::int64_t minBytesPerItem;  // the least each announced record takes (the count check)
        std::uint16_t minRecordSize;   // the least a sized record may declare
    };
    // The one loader of the stored form: a 2-byte header word, the count (ReadCount), then the
    // records. layoutOf checks the header word (raising EReadError) and gives the layout. With
    // keep the records are read, each checked with RecordIsSound, then their order; without it
    // the stream is moved past them. On any failure the records read so far are freed.
    void LoadRecords(TStream& stream, bool shortCount, bool keep,
                     const std::function<TStoredLayout(std::uint16_t)>& layoutOf);
    // Inserts a copy of size bytes of rec in key order (an owned heap block); the position.
    std::int32_t InsertCopy(const void* rec, std::size_t size);
    // Frees the record block at index and removes it.
    void DeleteBlock(std::int32_t index);
    // Frees every record block (the items are owned heap blocks) and empties the list.
    void FreeRecordBlocks();

    bool shortCount_ = false;
};

// Records of ItemSize bytes each.
// Stream form: item size (2 bytes), count (4 bytes; 2 in old streams), the records in key order.
class TOneIndex : public TSortedCollection {
public:
    // itemSize 0 takes the record size from the stream on Load; any other value must match it.
    explicit TOneIndex(std::uint16_t itemSize);
    ~TOneIndex() override;

    // Replaces the contents with the collection stored at the stream position.
    void Load(TStream& stream, bool shortCount);
    // Moves the stream past a stored collection; the collection is left empty.
    void LoadSkip(TStream& stream, bool shortCount);
    // Always written with the 4-byte count.
    void SaveToStream(TStream& stream) const;

    // Copies ItemSize bytes of rec into a new record, inserted in key order.
    std::int32_t InsertRecord(const void* rec);
    void DeleteRecord(std::int32_t index);
    // Copies ItemSize bytes of record i into rec.
    void GetRecord(std::int32_t index, void* rec) const;
    std::uint8_t* Record(std::int32_t index) const { return static_cast<std::uint8_t*>(At(index)); }
    void FreeAll();

    std::uint16_t ItemSize() const { return itemSize_; }

private:
    std::uint16_t itemSize_;
};

// Records of a fixed key part of KeyLen bytes followed by a short-string tail (usually a name;
// lines of a multi-line text separated by the byte 255).
// Stream form: key length (2 bytes), count (4 bytes; 2 in old streams), then per record its size
// (2 bytes) and that many bytes, in key order.
class TOneIndexTail : public TSortedCollection {
public:
    // keyLen 0 takes the key length from the stream on Load; any other value must match it.
    explicit TOneIndexTail(std::uint16_t keyLen);
    ~TOneIndexTail() override;

    virtual void Load(TStream& stream, bool shortCount);
    virtual void LoadSkip(TStream& stream, bool shortCount);
    void SaveToStream(TStream& stream) const;

    // KeyLen + tail length + 1.
    std::uint16_t RecordSize(const void* rec) const;
    virtual std::int32_t InsertRecord(const void* rec);
    virtual void DeleteRecord(std::int32_t index);
    // Copies RecordSize bytes of record i into rec (which must hold KeyLen + 256 bytes).
    void GetRecord(std::int32_t index, void* rec) const;
    std::uint8_t* Record(std::int32_t index) const { return static_cast<std::uint8_t*>(At(index)); }
    virtual void FreeAll();

    std::uint8_t* TailPtr(std::int32_t index) const { return Record(index) + keyLen_; }
    void GetTail(std::int32_t index, std::string& s) const;
    // Joins the lines, each followed by the byte 255, cuts the whole to 255 characters and drops
    // the final separator; inserts the key part (KeyLen bytes) with that tail.
    std::int32_t InsertLines(const void* key, const std::vector<std::string>& lines);
    // The tail of record i split at every byte 255.
    void GetLines(std::int32_t index, std::vector<std::string>& lines) const;

    std::uint16_t KeyLen() const { return keyLen_; }

protected:
    bool RecordIsSound(const std::uint8_t* rec, std::size_t size) const override;

    std::uint16_t keyLen_;
};

// A second order over another collection's records by the key at KeyOffset (the tail of a
// TTwoIndex). Holds pointers only and owns nothing.
class TSel2 : public TSortedCollection {
public:
    explicit TSel2(std::uint16_t keyOffset) : keyOffset_(keyOffset) {}
    const void* KeyOf(const void* item) const override
    {
        return static_cast<const std::uint8_t*>(item) + keyOffset_;
    }
    // Removes exactly that record pointer.
    void Remove(const void* item);
    void SetKeyOffset(std::uint16_t keyOffset) { keyOffset_ = keyOffset; }
    std::uint16_t KeyOffset() const { return keyOffset_; }

private:
    std::uint16_t keyOffset_;
};

// A TOneIndexTail with a second order by the tail (case-insensitive), rebuilt on load.
class TTwoIndex : public TOneIndexTail {
public:
    explicit TTwoIndex(std::uint16_t keyLen);
    ~TTwoIndex() override;

    void Load(TStream& stream, bool shortCount) override;
    void LoadSkip(TStream& stream, bool shortCount) override;
    // Returns the key-order position.
    std::int32_t InsertRecord(const void* rec) override;
    // index in key order.
    void DeleteRecord(std::int32_t index) override;
    void FreeAll() override;

    const TSel2& ByTail() const { return byTail_; }
    std::uint8_t* AtByTail(std::int32_t i) const { return static_cast<std::uint8_t*>(byTail_.At(i)); }
    std::uint8_t* TailPtrByTail(std::int32_t i) const { return AtByTail(i) + keyLen_; }
    void GetKeyStringByTail(std::int32_t i, std::string& s) const { byTail_.GetKeyString(i, s); }
    void GetTailByTail(std::int32_t i, std::string& s) const;
    // Binary search in the tail order (positions in that order).
    bool SearchTail(std::string_view tail, std::int32_t& index) const;
    std::int32_t IndexOfTail(std::string_view tail) const;

private:
    void RebuildByTail();

    TSel2 byTail_;
};

} // namespace korval
