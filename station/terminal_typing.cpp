#include "station/terminal_typing.h"

namespace korval {

namespace {
bool IsSendingControl(unsigned char u)
{
    return (u >= 1 && u <= 7) || (u >= 9 && u <= 26);
}
} // namespace

void TTerminalTyping::Clear()
{
    text_.clear();
    caret_ = mark_ = 0;
}

void TTerminalTyping::Insert(char c)
{
    if (text_.size() >= MaxText)
        return;
    text_.insert(caret_, 1, c);
    ++caret_;
}

void TTerminalTyping::KeyPress(char c, bool byProgram)
{
    const auto u = static_cast<unsigned char>(c);
    if (Immediate()) {
        caret_ = text_.size();
        if (u == 27) {
            Insert(ShownEsc);
            Send("\x1b");
        } else if (u == 13) {
            text_ += '\n';
            Send("\r");
            if (immediate_) {
                immediate_ = false;
                if (OnModeChanged)
                    OnModeChanged();
            }
            KeepLastLines();
        } else if (u == 8) {
            if (!text_.empty() && text_.back() != '\n')
                text_.pop_back();
            Send("\b");
        } else if (u < 32) {
            if (u != 0)
                Send(std::string(1, c));
        } else {
            Insert(c);
            Send(std::string(1, c));
        }
        caret_ = mark_ = text_.size();
        return;
    }

    if (u == 8) {
        if (caret_ <= mark_) {
            Beep();
            return;
        }
        text_.erase(--caret_, 1);
        return;
    }
    if (IsSendingControl(u)) {
        SendUnsent();
        Send(std::string(1, c));
        if (u == 13) {
            text_ += '\n';
        } else if (!byProgram && !immediate_) {
            immediate_ = true;
            if (OnModeChanged)
                OnModeChanged();
        }
        caret_ = mark_ = text_.size();
        KeepLastLines();
        return;
    }
    if (u == 0 || (u >= 28 && u < 32))
        return;
    if (caret_ < mark_) {
        Beep();
        return;
    }
    Insert(u == 27 ? ShownEsc : c);
}

void TTerminalTyping::SendUnsent()
{
    std::string unsent = text_.substr(std::min(mark_, text_.size()));
    for (char& ch : unsent)
        if (ch == ShownEsc)
            ch = '\x1b';
    for (std::size_t i = 0; i < unsent.size(); i += MaxPiece)
        Send(unsent.substr(i, MaxPiece));
}

void TTerminalTyping::KeepLastLines()
{
    int lines = 1 + static_cast<int>(std::count(text_.begin(), text_.end(), '\n'));
    while (lines > MaxMemoLines) {
        const std::size_t cut = text_.find('\n') + 1;
        text_.erase(0, cut);
        mark_ = mark_ > cut ? mark_ - cut : 0;
        caret_ = caret_ > cut ? caret_ - cut : 0;
        --lines;
    }
}

bool TTerminalTyping::DeleteAllowed()
{
    if (caret_ < mark_) {
        Beep();
        return false;
    }
    return true;
}

bool TTerminalTyping::EraseRange(std::size_t from, std::size_t to)
{
    to = std::min(to, text_.size());
    if (from >= to)
        return true;
    if (from < mark_) {
        Beep();
        return false;
    }
    text_.erase(from, to - from);
    caret_ = from;
    return true;
}

} // namespace korval
