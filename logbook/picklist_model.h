#pragma once
// The pick list's lines and its type-ahead over the records of a TTwoIndex: each record is a
// line of its key and its tail (name), in name order or in key order, and typing the beginning
// of a name (or key) selects the first line that begins so.
#include <cstdint>
#include <string>
#include <vector>

namespace korval {

class TTwoIndex;

class TPicklistModel {
public:
    // The records from firstIndex (in key order) to the end; name order to begin with. The
    // list must outlive the model and stay unchanged while it is shown.
    TPicklistModel(const TTwoIndex& list, int firstIndex);

    bool ByName() const { return byName_; }
    // Refills the lines in the other order; the selected record stays selected.
    void SetByName(bool on);

    int LineCount() const { return static_cast<int>(lines_.size()); }
    // key padded to 7 characters, "| ", the name.
    const std::string& Line(int i) const { return lines_[static_cast<std::size_t>(i)].text; }
    // The longest name of the records shown, at least 10 characters.
    int LongestName() const { return longest_; }

    int Selected() const { return selected_; }
    // Clamped to the lines; -1 when there are none.
    void Select(int line);
    const std::string& SearchText() const { return search_; }
    // A typed character: letters (upper-cased), digits, '/' and blanks extend the search text,
    // '\b' shortens it; then the first line whose name (or key, in key order) begins with the
    // search text is selected, the text losing its last characters until one does. False for
    // a character that is not taken.
    bool Type(char c);

    // The selected record's index in key order, -1 when nothing is selected.
    int Chosen() const;

private:
    struct TLine {
        std::string text;
        std::string match;  // upper-cased name or key
        int keyIndex;
    };
    void Fill();
    void Search();

    const TTwoIndex& list_;
    int first_;
    bool byName_ = true;
    std::vector<TLine> lines_;
    int longest_ = 10;
    int selected_ = -1;
    std::string search_;
};

} // namespace korval
