#pragma once
// TOvcSparseArray: index -> pointer for up to 320000 indexes of which few hold anything. Items
// live in zero-filled pages of 32 slots found by binary search over a sorted page directory, so
// an array of hundreds of thousands of indexes with a few items stays small. The array does not
// own its items.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace korval {

class TOvcSparseArray {
public:
    static constexpr int Limit = 320000;
    static constexpr int PageSize = 32;

    TOvcSparseArray() = default;
    TOvcSparseArray(const TOvcSparseArray&) = delete;
    TOvcSparseArray& operator=(const TOvcSparseArray&) = delete;

    // ESAEOutOfBounds for an index below 0 or at the limit or beyond.
    void* Get(int index) const;
    // Nil removes the item.
    void Put(int index, void* item);
    // Every item from index on moves one place up; ESAEAtMaxSize when the last index is in use.
    void Insert(int index, void* item);
    // The item goes and every later item moves one place down.
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Clear();
    // Visits the items in index order (or backwards) until action answers false; returns the
    // index of that item, -1 when every item was visited.
    int ForAll(const std::function<bool(int index, void* item)>& action, bool backwards = false) const;

    int Count() const;
    // One past the last index that holds an item; 0 when empty.
    int UpperIndex() const { return upper_; }
    int PageCount() const { return static_cast<int>(dir_.size()); }
    // Drops the pages that hold nothing.
    void Squeeze();

private:
    using TPage = std::array<void*, PageSize>;
    struct TDirEntry {
        uint16_t Number;
        std::unique_ptr<TPage> Page;
    };
    static void CheckIndex(int index);
    // The directory position of a page, or where it would go (found false).
    size_t FindPage(int page, bool& found) const;
    TPage* PageAt(int page) const;
    TPage& MakePage(int page);
    void RecalcUpper();

    std::vector<TDirEntry> dir_;
    int upper_ = 0;
};

} // namespace korval
