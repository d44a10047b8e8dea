#pragma once
// The received side of a cluster terminal: characters from a TNC or a telnet node become lines
// of a scrollback list. A line that is wider than the window is wrapped into continuation lines
// that go together; the line being received is the last list line and is wrapped as it grows.
// Each finished line is handed on whole (unwrapped) for the spot list.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace korval {

class TTerminalLines {
public:
    // Flags of a list line.
    enum : std::uint8_t { lfSelected = 1, lfContinuation = 2 };
    // A line that never ends (a server sending no line end) keeps this much for the spot list.
    static constexpr std::size_t MaxPendingLine = 1024;
    static constexpr int DefaultMaxLines = 500;
    // Copied lines are cut to this length.
    static constexpr std::size_t MaxCopiedLine = 252;

    struct TLine {
        std::string text;
        std::uint8_t flags = 0;
    };
    // What one Receive did to the list: lines added at the end and removed from the start.
    struct TChange {
        int added = 0;
        int removed = 0;
        bool Counted() const { return added != 0 || removed != 0; }
    };

    // A finished line, unwrapped (only while TakeLines is on).
    std::function<void(const std::string&)> OnLine;
    // A BEL arrived and the bell is on.
    std::function<void()> OnBell;

    void SetTakeLines(bool on) { takeLines_ = on; }
    void SetUseBell(bool on) { useBell_ = on; }
    // Below 1 takes the default.
    void SetMaxLines(int lines);
    int MaxLines() const { return maxLines_; }
    // Characters per list line (at least 1). A new width wraps every line again.
    void SetWrapWidth(int chars);
    int WrapWidth() const { return width_; }

    // Empty lines, so that the first text appears at the bottom of an empty window.
    void Fill(int emptyLines);
    void Clear();
    TChange Receive(std::string_view data);

    const std::deque<TLine>& Lines() const { return lines_; }
    int Count() const { return static_cast<int>(lines_.size()); }
    bool Selected(int index) const;
    void Select(int index, bool on);
    void SelectAll(bool on);
    // The list line's whole line: its first part and all its continuation lines.
    std::string WholeLine(int index) const;
    // The selected lines, whole, each cut to MaxCopiedLine, with CR LF after each but the last.
    std::string SelectedText() const;
    // The line being received, as the spot list will get it.
    const std::string& Pending() const { return pending_; }

private:
    void LineEnd(TChange& change);
    void Backspace(TChange& change);
    void WrapLast(TChange& change);
    void Trim(TChange& change);
    void EnsureLine(TChange& change);
    int FirstPart(int index) const;

    std::deque<TLine> lines_;
    std::string pending_;
    std::size_t lineLength_ = 0;  // characters of the line being received (display)
    char lastEnd_ = 0;            // CR or LF that ended the last line, for CR LF / LF CR pairs
    int width_ = 80;
    int maxLines_ = DefaultMaxLines;
    bool takeLines_ = false;
    bool useBell_ = false;
};

// The wrapping rule: the length of the first part of text in a list line of width characters
// (after the last blank, "(", ")", ",", ".", ":" or ";" within the width; else the width).
std::size_t WrapCut(std::string_view text, std::size_t width);

} // namespace korval
