#pragma once
// The typing area of a cluster terminal. In line mode the operator edits a line and a control
// character (Enter among them) sends everything typed since the last send, then the control
// character itself; text before the sent mark is history and cannot be changed. In immediate
// mode every character goes out as it is typed. ESC is shown as the character 169.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>

namespace korval {

class TTerminalTyping {
public:
    static constexpr std::size_t MaxText = 32767;
    static constexpr int MaxMemoLines = 14;
    static constexpr std::size_t MaxPiece = 255;
    static constexpr char ShownEsc = static_cast<char>(169);

    // Text to the port (ESC already turned back into 27).
    std::function<void(const std::string&)> OnSend;
    std::function<void()> OnBeep;
    // Immediate mode was switched on or off by typing.
    std::function<void()> OnModeChanged;

    // The memo: text with "\n" between lines, the caret and the sent mark (byte positions).
    const std::string& Text() const { return text_; }
    std::size_t Caret() const { return caret_; }
    std::size_t SentMark() const { return mark_; }
    // The window's caret (the operator clicked or used the arrows); kept inside the text.
    void SetCaret(std::size_t caret) { caret_ = std::min(caret, text_.size()); }
    void Clear();

    bool Immediate() const { return immediate_ || always_; }
    bool ImmediateToggled() const { return immediate_; }
    void SetImmediate(bool on) { immediate_ = on; }
    bool AlwaysImmediate() const { return always_; }
    void SetAlwaysImmediate(bool on) { always_ = on; }

    // One character typed into the memo; byProgram for text typed by a function key or an
    // announcement, which does not switch immediate mode on.
    void KeyPress(char c, bool byProgram = false);
    // The Delete key: refused (with a beep) before the sent mark.
    bool DeleteAllowed();
    // Removes [from, to) when it lies after the sent mark (typing over a selection).
    bool EraseRange(std::size_t from, std::size_t to);
    // Pasting starts only at or after the sent mark.
    bool CanPaste() const { return caret_ >= mark_; }

private:
    void Insert(char c);
    void SendUnsent();
    void KeepLastLines();
    void Beep()
    {
        if (OnBeep)
            OnBeep();
    }
    void Send(const std::string& s)
    {
        if (OnSend)
            OnSend(s);
    }

    std::string text_;
    std::size_t caret_ = 0;
    std::size_t mark_ = 0;
    bool immediate_ = false;
    bool always_ = false;
};

} // namespace korval
