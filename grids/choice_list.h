#pragma once
// The model of a choice box: its items, the selected line, the edit text and the rules that
// tie them together (keys on a closed list, type-ahead search, matching the text when the
// list opens). TWheelxModel adds the 1-based Selection with its optional blank first item.
// Texts are 8-bit program strings (Windows-1252).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

enum TPopupBoxStyle { pbsDropDown, pbsDropDownList };
enum TPopupBoxDoOn { doTakeValue, doShutup, doGoAway };

// A string list whose lines carry an integer object (a mode number, a record's address).
class TPopupItems {
public:
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int index) const { return lines_.at(static_cast<size_t>(index)).text; }
    const std::string& Strings(int index) const { return (*this)[index]; }
    intptr_t Objects(int index) const { return lines_.at(static_cast<size_t>(index)).object; }
    void SetObject(int index, intptr_t object) { lines_.at(static_cast<size_t>(index)).object = object; }
    void SetString(int index, std::string text);

    // Appends (or, when sorted, inserts in order); returns the new line's index.
    int Add(std::string text, intptr_t object = 0);
    void Insert(int index, std::string text, intptr_t object = 0);
    void Delete(int index);
    void Clear();
    void Assign(const std::vector<std::string>& texts);
    // First line equal to text ignoring case, -1 when none.
    int IndexOf(std::string_view text) const;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);

    // Told after every change: the kind of change and the line it touched (-1: the whole list).
    enum class TChange { Inserted, Deleted, Reset };
    std::function<void(TChange, int)> OnChange;

private:
    struct Line {
        std::string text;
        intptr_t object;
    };
    void Notify(TChange change, int index)
    {
        if (OnChange)
            OnChange(change, index);
    }
    std::vector<Line> lines_;
    bool sorted_ = false;
};

// Keys a choice box acts on besides typed characters.
enum class TChoiceKey { PgUp, PgDn, End, Home, Left, Up, Right, Down };

class TChoiceModel {
public:
    TChoiceModel();
    virtual ~TChoiceModel() = default;
    TChoiceModel(const TChoiceModel&) = delete;
    TChoiceModel& operator=(const TChoiceModel&) = delete;

    TPopupItems Items;
    TPopupBoxStyle Style = pbsDropDownList;
    bool ReadOnly = false;
    bool IgnoreArrowKeys = false;
    bool Dropped = false;         // the list window is open
    int PageLines = 8;            // lines a page key moves in the open list

    // The selected line of the list, -1 for none.
    int ItemIndex() const { return itemIndex_; }
    // Selects a line (out of range: none) without touching the text.
    void SetListIndex(int index);
    // Selects a line, then takes the text from it.
    void SetItemIndex(int index);

    const std::string& Text() const { return text_; }
    // Program's text change: does not clear the list selection.
    void SetText(const std::string& text);
    // The operator's edit of the text (free-text style).
    void EditText(const std::string& text);

    // Takes the selected line's text through OnSetFieldValue; the answer is Allowed.
    bool TakeTextFromSelection();
    // The line the list opens on: the item equal to the text, in the list style the one with the
    // longest common prefix, the current line for an empty text.
    void MatchText();
    // Arrow and page keys; true when consumed.
    bool KeyDown(TChoiceKey key);
    // A printable character typed at nowMs (a monotonic clock in milliseconds); true when it
    // was taken. Characters typed within TypeAheadPauseMs of each other form one prefix that
    // selects the first line starting with it, from the current line on; a single letter, or
    // the same letter repeated, steps to the next line starting with it. kKeyAfterPause
    // starts a new prefix.
    static constexpr std::int64_t kKeyAfterPause = -1;
    static constexpr std::int64_t TypeAheadPauseMs = 1000;
    bool KeyChar(char ch, std::int64_t nowMs = kKeyAfterPause);

    std::function<void(int index, std::string& value, bool& allowed)> OnSetFieldValue;
    std::function<void()> OnChange;        // the text changed
    std::function<void()> OnSelChange;     // the list's selected line changed

protected:
    // Runs on every text change before OnChange.
    virtual void TextChanged() {}

private:
    void ChangeText(const std::string& text, bool fromSetText);
    bool Step(int target);
    int FindPrefix(const std::string& prefix, int from) const;
    int itemIndex_ = -1;
    std::string text_;
    std::string typed_;          // the prefix typed so far
    std::int64_t lastKeyMs_ = 0;
};

class TWheelxModel : public TChoiceModel {
public:
    TWheelxModel();

    // 1-based with AllowDefault off; with it on 0 is the blank first item.
    int GetSelection() const { return ItemIndex() + offset_; }
    void SetSelection(int value);
    bool AllowDefault() const { return allowDefault_; }
    void SetAllowDefault(bool value);
    int Offset() const { return offset_; }

    // Set when the text changed after the last SetSelection (the operator picked something).
    uint8_t Changed = 0;

protected:
    void TextChanged() override { Changed = 1; }

private:
    bool allowDefault_ = false;
    int offset_ = 1;
};

} // namespace korval
