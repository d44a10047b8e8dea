#include "station/terminal_lines.h"

#include <algorithm>

namespace korval {

namespace {

bool IsBreakChar(char c)
{
    switch (c) {
    case ' ': case '(': case ')': case ',': case '.': case ':': case ';':
        return true;
    default:
        return false;
    }
}

} // namespace

std::size_t WrapCut(std::string_view text, std::size_t width)
{
    if (width == 0)
        width = 1;
    if (text.size() <= width)
        return text.size();
    for (std::size_t i = width; i-- > 0;)
        if (IsBreakChar(text[i]))
            return i + 1;
    return width;
}

void TTerminalLines::SetMaxLines(int lines)
{
    maxLines_ = lines < 1 ? DefaultMaxLines : lines;
}

void TTerminalLines::SetWrapWidth(int chars)
{
    chars = std::max(chars, 1);
    if (chars == width_)
        return;
    width_ = chars;
    // Every line is joined with its continuation lines and wrapped again at the new width.
    std::deque<TLine> old;
    old.swap(lines_);
    for (std::size_t i = 0; i < old.size();) {
        std::string text = old[i].text;
        std::uint8_t selected = old[i].flags & lfSelected;
        std::size_t j = i + 1;
        for (; j < old.size() && (old[j].flags & lfContinuation); ++j) {
            text += old[j].text;
            selected |= old[j].flags & lfSelected;
        }
        std::string_view rest(text);
        std::uint8_t flags = selected;
        do {
            const std::size_t cut = WrapCut(rest, static_cast<std::size_t>(width_));
            lines_.push_back({std::string(rest.substr(0, cut)), flags});
            rest.remove_prefix(cut);
            flags = selected | lfContinuation;
        } while (!rest.empty());
        i = j;
    }
}

void TTerminalLines::Fill(int emptyLines)
{
    for (int i = 0; i < emptyLines; ++i)
        lines_.push_back({});
}

void TTerminalLines::Clear()
{
    lines_.clear();
    lineLength_ = 0;
}

void TTerminalLines::EnsureLine(TChange& change)
{
    if (lines_.empty()) {
        lines_.push_back({});
        ++change.added;
    }
}

TTerminalLines::TChange TTerminalLines::Receive(std::string_view data)
{
    TChange change;
    EnsureLine(change);
    for (char c : data) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 13 || u == 10) {
            // CR, LF, CR LF and LF CR each end one line.
            if (lastEnd_ != 0 && lastEnd_ != c) {
                lastEnd_ = 0;
                continue;
            }
            lastEnd_ = c;
            LineEnd(change);
            continue;
        }
        if (u == 0)
            continue; // the NUL a telnet peer may send after a bare CR
        lastEnd_ = 0;
        if (u == 7) {
            if (useBell_ && OnBell)
                OnBell();
        } else if (u == 8) {
            Backspace(change);
        } else if (u >= 32) {
            EnsureLine(change);
            lines_.back().text += c;
            if (pending_.size() < MaxPendingLine)
                pending_ += c;
            ++lineLength_;
            if (lines_.back().text.size() > static_cast<std::size_t>(width_))
                WrapLast(change);
        }
    }
    WrapLast(change);
    Trim(change);
    return change;
}

void TTerminalLines::LineEnd(TChange& change)
{
    if (takeLines_ && OnLine)
        OnLine(pending_);
    pending_.clear();
    lineLength_ = 0;
    EnsureLine(change);
    WrapLast(change);
    lines_.push_back({});
    ++change.added;
}

void TTerminalLines::Backspace(TChange& change)
{
    // Only characters of the line being received are taken back; a BS at its start is ignored.
    if (lineLength_ == 0 || lines_.empty())
        return;
    if (lines_.back().text.empty() && (lines_.back().flags & lfContinuation) && lines_.size() > 1) {
        lines_.pop_back();
        --change.added;
    }
    if (!lines_.back().text.empty())
        lines_.back().text.pop_back();
    if (lineLength_ <= MaxPendingLine && !pending_.empty())
        pending_.pop_back();
    --lineLength_;
}

void TTerminalLines::WrapLast(TChange& change)
{
    if (lines_.empty())
        return;
    while (lines_.back().text.size() > static_cast<std::size_t>(width_)) {
        TLine& last = lines_.back();
        const std::size_t cut = WrapCut(last.text, static_cast<std::size_t>(width_));
        TLine rest{last.text.substr(cut), static_cast<std::uint8_t>((last.flags & lfSelected) | lfContinuation)};
        last.text.resize(cut);
        lines_.push_back(std::move(rest));
        ++change.added;
    }
}

void TTerminalLines::Trim(TChange& change)
{
    // The oldest line goes with its continuation lines; the line being received stays.
    while (static_cast<int>(lines_.size()) > maxLines_) {
        std::size_t k = 1;
        while (k < lines_.size() && (lines_[k].flags & lfContinuation))
            ++k;
        if (k >= lines_.size())
            break;
        lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(k));
        change.removed += static_cast<int>(k);
    }
}

bool TTerminalLines::Selected(int index) const
{
    return index >= 0 && index < Count() && (lines_[static_cast<std::size_t>(index)].flags & lfSelected);
}

void TTerminalLines::Select(int index, bool on)
{
    if (index < 0 || index >= Count())
        return;
    auto& flags = lines_[static_cast<std::size_t>(index)].flags;
    flags = static_cast<std::uint8_t>(on ? flags | lfSelected : flags & ~lfSelected);
}

void TTerminalLines::SelectAll(bool on)
{
    for (int i = 0; i < Count(); ++i)
        Select(i, on);
}

int TTerminalLines::FirstPart(int index) const
{
    while (index > 0 && (lines_[static_cast<std::size_t>(index)].flags & lfContinuation))
        --index;
    return index;
}

std::string TTerminalLines::WholeLine(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    std::size_t i = static_cast<std::size_t>(FirstPart(index));
    std::string text = lines_[i].text;
    for (++i; i < lines_.size() && (lines_[i].flags & lfContinuation); ++i)
        text += lines_[i].text;
    return text;
}

std::string TTerminalLines::SelectedText() const
{
    std::string out;
    bool first = true;
    for (std::size_t i = 0; i < lines_.size();) {
        std::string text = lines_[i].text;
        bool selected = lines_[i].flags & lfSelected;
        std::size_t j = i + 1;
        for (; j < lines_.size() && (lines_[j].flags & lfContinuation); ++j) {
            text += lines_[j].text;
            selected = selected || (lines_[j].flags & lfSelected);
        }
        if (selected) {
            if (!first)
                out += "\r\n";
            out += text.substr(0, MaxCopiedLine);
            first = false;
        }
        i = j;
    }
    return out;
}

} // namespace korval
