#include "logbook/base/sorted_collection.h"

#include "logbook/base/record_bytes.h"

#include <new>
#include <stdexcept>

namespace korval {

namespace {

[[noreturn]] void Damaged(const std::string& what)
{
    throw EReadError("Damaged collection: " + what);
}

std::uint8_t* NewBlock(std::size_t size)
{
    return static_cast<std::uint8_t*>(::operator new(size));
}

void FreeBlock(void* block)
{
    ::operator delete(block);
}

} // namespace

// ---- TSortedCollection ----

bool TSortedCollection::Search(const void* key, std::int32_t& index) const
{
    return FindFirstNotBefore(count_, [&](std::int32_t i) { return Compare(KeyOf(items_[i]), key); }, index);
}

std::int32_t TSortedCollection::Insert(void* item)
{
    std::int32_t index;
    Search(KeyOf(item), index);
    TMyList::Insert(index, item);
    return index;
}

std::int32_t TSortedCollection::IndexOfKey(const void* key) const
{
    std::int32_t index;
    return Search(key, index) ? index : -1;
}

void TSortedCollection::GetKeyString(std::int32_t index, std::string& s) const
{
    const auto* rec = static_cast<const std::uint8_t*>(At(index));
    s.assign(reinterpret_cast<const char*>(rec + 1), rec[0]);
}

std::int32_t TSortedCollection::ReadCount(TStream& stream) const
{
    std::uint8_t b[4];
    if (shortCount_) {
        stream.ReadBuffer(b, 2);
        return GetI16(b, 0);
    }
    stream.ReadBuffer(b, 4);
    return GetI32(b, 0);
}

void TSortedCollection::CheckCount(TStream& stream, std::int32_t count, std::int64_t minBytesPerItem) const
{
    if (count < 0 || count >= MaxListSize)
        Damaged("record count " + std::to_string(count));
    std::int64_t needed = static_cast<std::int64_t>(count) * minBytesPerItem;
    std::int64_t present = stream.Remaining();
    if (needed > present)
        Damaged(std::to_string(count) + " records announced, " + std::to_string(present) + " bytes present");
}

void TSortedCollection::CheckOrder() const
{
    for (std::int32_t i = 1; i < count_; ++i)
        if (Compare(KeyOf(items_[i - 1]), KeyOf(items_[i])) > 0)
            Damaged("records out of order at position " + std::to_string(i));
}

void TSortedCollection::LoadRecords(TStream& stream, bool shortCount, bool keep,
                                    const std::function<TStoredLayout(std::uint16_t)>& layoutOf)
{
    shortCount_ = shortCount;
    try {
        std::uint8_t b[2];
        stream.ReadBuffer(b, 2);
        const TStoredLayout layout = layoutOf(GetU16(b, 0));
        std::int32_t count = ReadCount(stream);
        CheckCount(stream, count, layout.minBytesPerItem);
        if (!keep && !layout.sized) {
            stream.Seek(static_cast<std::int64_t>(count) * layout.recordSize, soFromCurrent);
            return;
        }
        if (keep)
            SetCapacity(count);
        for (std::int32_t i = 0; i < count; ++i) {
            std::uint16_t size = layout.recordSize;
            if (layout.sized) {
                stream.ReadBuffer(b, 2);
                size = GetU16(b, 0);
                if (size < layout.minRecordSize || size > stream.Remaining())
                    Damaged("record " + std::to_string(i) + " of " + std::to_string(size) + " bytes");
            }
            if (!keep) {
                stream.Seek(size, soFromCurrent);
                continue;
            }
            std::uint8_t* rec = NewBlock(size);
            items_[count_++] = rec;  // owned from here on, freed with the rest on failure
            Changed();
            stream.ReadBuffer(rec, size);
            if (!RecordIsSound(rec, size))
                Damaged("record " + std::to_string(i) + " is malformed (a length byte runs past its field)");
        }
        if (keep)
            CheckOrder();
    } catch (...) {
        FreeRecordBlocks();
        throw;
    }
}

std::int32_t TSortedCollection::InsertCopy(const void* rec, std::size_t size)
{
    std::uint8_t* copy = NewBlock(size);
    std::memcpy(copy, rec, size);
    try {
        return Insert(static_cast<void*>(copy));
    } catch (...) {
        FreeBlock(copy);
        throw;
    }
}

void TSortedCollection::DeleteBlock(std::int32_t index)
{
    FreeBlock(items_[index]);
    Delete(index);
}

void TSortedCollection::FreeRecordBlocks()
{
    for (std::int32_t i = 0; i < count_; ++i)
        FreeBlock(items_[i]);
    Clear();
}

bool TSortedCollection::RecordIsSound(const std::uint8_t* rec, std::size_t size) const
{
    return size > 0 && std::size_t{rec[0]} + 1 <= size;
}

// ---- TOneIndex ----

TOneIndex::TOneIndex(std::uint16_t itemSize) : itemSize_(itemSize) {}

TOneIndex::~TOneIndex()
{
    FreeAll();
}

void TOneIndex::FreeAll()
{
    FreeRecordBlocks();
}

void TOneIndex::Load(TStream& stream, bool shortCount)
{
    FreeAll();
    LoadRecords(stream, shortCount, true, [this](std::uint16_t stored) {
        if (stored == 0 || (itemSize_ != 0 && stored != itemSize_))
            Damaged("record size " + std::to_string(stored) + ", expected " + std::to_string(itemSize_));
        itemSize_ = stored;
        return TStoredLayout{false, stored, stored, 0};
    });
}

void TOneIndex::LoadSkip(TStream& stream, bool shortCount)
{
    FreeAll();
    LoadRecords(stream, shortCount, false, [](std::uint16_t stored) {
        return TStoredLayout{false, stored, stored, 0};
    });
}

void TOneIndex::SaveToStream(TStream& stream) const
{
    std::uint8_t b[6];
    PutU16(b, 0, itemSize_);
    PutI32(b, 2, count_);
    stream.WriteBuffer(b, 6);
    for (std::int32_t i = 0; i < count_; ++i)
        stream.WriteBuffer(items_[i], itemSize_);
}

std::int32_t TOneIndex::InsertRecord(const void* rec)
{
    if (itemSize_ == 0)
        throw std::logic_error("TOneIndex: record size unknown before Load");
    return InsertCopy(rec, itemSize_);
}

void TOneIndex::DeleteRecord(std::int32_t index)
{
    DeleteBlock(index);
}

void TOneIndex::GetRecord(std::int32_t index, void* rec) const
{
    std::memcpy(rec, items_[index], itemSize_);
}

// ---- TOneIndexTail ----

TOneIndexTail::TOneIndexTail(std::uint16_t keyLen) : keyLen_(keyLen) {}

TOneIndexTail::~TOneIndexTail()
{
    FreeRecordBlocks();
}

void TOneIndexTail::FreeAll()
{
    FreeRecordBlocks();
}

std::uint16_t TOneIndexTail::RecordSize(const void* rec) const
{
    return static_cast<std::uint16_t>(keyLen_ + static_cast<const std::uint8_t*>(rec)[keyLen_] + 1);
}

bool TOneIndexTail::RecordIsSound(const std::uint8_t* rec, std::size_t size) const
{
    // The tail must lie inside the record, and the key string inside the key part.
    if (size < std::size_t{keyLen_} + 1 || std::size_t{keyLen_} + 1 + rec[keyLen_] > size)
        return false;
    return keyLen_ == 0 || std::size_t{rec[0]} + 1 <= keyLen_;
}

void TOneIndexTail::Load(TStream& stream, bool shortCount)
{
    FreeAll();
    LoadRecords(stream, shortCount, true, [this](std::uint16_t stored) {
        if (keyLen_ != 0 && stored != keyLen_)
            Damaged("key length " + std::to_string(stored) + ", expected " + std::to_string(keyLen_));
        // Record sizes are 16 bits: the key part must leave room for the longest tail, or a
        // record that gets a longer name could no longer be saved.
        if (std::size_t{stored} + 1 + 255 > 0xFFFF)
            Damaged("key length " + std::to_string(stored) + " leaves no room for a tail");
        keyLen_ = stored;
        return TStoredLayout{true, 0, 2 + std::int64_t{keyLen_} + 1, static_cast<std::uint16_t>(keyLen_ + 1)};
    });
}

void TOneIndexTail::LoadSkip(TStream& stream, bool shortCount)
{
    FreeAll();
    LoadRecords(stream, shortCount, false, [](std::uint16_t) { return TStoredLayout{true, 0, 2, 0}; });
}

void TOneIndexTail::SaveToStream(TStream& stream) const
{
    std::uint8_t b[6];
    PutU16(b, 0, keyLen_);
    PutI32(b, 2, count_);
    stream.WriteBuffer(b, 6);
    for (std::int32_t i = 0; i < count_; ++i) {
        std::uint16_t size = RecordSize(items_[i]);
        PutU16(b, 0, size);
        stream.WriteBuffer(b, 2);
        stream.WriteBuffer(items_[i], size);
    }
}

std::int32_t TOneIndexTail::InsertRecord(const void* rec)
{
    return InsertCopy(rec, RecordSize(rec));
}

void TOneIndexTail::DeleteRecord(std::int32_t index)
{
    DeleteBlock(index);
}

void TOneIndexTail::GetRecord(std::int32_t index, void* rec) const
{
    std::memcpy(rec, items_[index], RecordSize(items_[index]));
}

void TOneIndexTail::GetTail(std::int32_t index, std::string& s) const
{
    const std::uint8_t* tail = TailPtr(index);
    s.assign(reinterpret_cast<const char*>(tail + 1), tail[0]);
}

std::int32_t TOneIndexTail::InsertLines(const void* key, const std::vector<std::string>& lines)
{
    std::string tail;
    for (const auto& line : lines) {
        tail += line;
        tail += '\xFF';
        if (tail.size() >= 255)
            break;
    }
    if (tail.size() > 255)
        tail.resize(255);
    if (!tail.empty())
        tail.pop_back();
    std::vector<std::uint8_t> rec(std::size_t{keyLen_} + 1 + tail.size());
    std::memcpy(rec.data(), key, keyLen_);
    rec[keyLen_] = static_cast<std::uint8_t>(tail.size());
    std::memcpy(rec.data() + keyLen_ + 1, tail.data(), tail.size());
    return InsertRecord(rec.data());
}

void TOneIndexTail::GetLines(std::int32_t index, std::vector<std::string>& lines) const
{
    lines.clear();
    const std::uint8_t* tail = TailPtr(index);
    std::string piece;
    for (unsigned i = 1; i <= tail[0]; ++i) {
        if (tail[i] == 0xFF) {
            lines.push_back(piece);
            piece.clear();
        } else {
            piece += static_cast<char>(tail[i]);
        }
    }
    if (!piece.empty())
        lines.push_back(piece);
}

// ---- TSel2 ----

void TSel2::Remove(const void* item)
{
    std::int32_t i;
    if (Search(KeyOf(item), i))
        for (; i < count_ && Compare(KeyOf(items_[i]), KeyOf(item)) == 0; ++i)
            if (items_[i] == item) {
                Delete(i);
                return;
            }
    i = IndexOf(item);
    if (i >= 0)
        Delete(i);
}

// ---- TTwoIndex ----

TTwoIndex::TTwoIndex(std::uint16_t keyLen) : TOneIndexTail(keyLen), byTail_(keyLen) {}

TTwoIndex::~TTwoIndex()
{
    byTail_.Clear();
}

void TTwoIndex::FreeAll()
{
    byTail_.Clear();
    FreeRecordBlocks();
}

void TTwoIndex::RebuildByTail()
{
    byTail_.Clear();
    byTail_.SetKeyOffset(keyLen_);
    byTail_.SetCapacity(count_);
    for (std::int32_t i = 0; i < count_; ++i)
        byTail_.Insert(items_[i]);
}

void TTwoIndex::Load(TStream& stream, bool shortCount)
{
    TOneIndexTail::Load(stream, shortCount);
    RebuildByTail();
}

void TTwoIndex::LoadSkip(TStream& stream, bool shortCount)
{
    TOneIndexTail::LoadSkip(stream, shortCount);
    byTail_.Clear();
}

std::int32_t TTwoIndex::InsertRecord(const void* rec)
{
    std::int32_t index = TOneIndexTail::InsertRecord(rec);
    try {
        byTail_.Insert(items_[index]);
    } catch (...) {
        TOneIndexTail::DeleteRecord(index);
        throw;
    }
    return index;
}

void TTwoIndex::DeleteRecord(std::int32_t index)
{
    byTail_.Remove(items_[index]);
    TOneIndexTail::DeleteRecord(index);
}

void TTwoIndex::GetTailByTail(std::int32_t i, std::string& s) const
{
    const std::uint8_t* tail = TailPtrByTail(i);
    s.assign(reinterpret_cast<const char*>(tail + 1), tail[0]);
}

bool TTwoIndex::SearchTail(std::string_view tail, std::int32_t& index) const
{
    TShortStrKey key = MakeShortStrKey(tail);
    return byTail_.Search(key.data(), index);
}

std::int32_t TTwoIndex::IndexOfTail(std::string_view tail) const
{
    std::int32_t index;
    return SearchTail(tail, index) ? index : -1;
}

} // namespace korval
