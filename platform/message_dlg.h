#pragma once
// Questions and messages to the operator. Engines call MessageDlg with the program's own texts;
// the program's application object installs the message boxes, tests install a recorder that
// answers from a script.
#include <functional>
#include <string>
#include <vector>

namespace korval {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Button sets are bit masks of these.
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
};

// Answers, numbered as the dialogs of the program number them.
enum TModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
    mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10,
};

struct TMessageRequest {
    std::string text;  // 8-bit program text; "\r" is a line break
    TMsgDlgType kind;
    unsigned buttons;
};

using TMessageHandler = std::function<int(const TMessageRequest&)>;

// Shows a message and returns the answer (a TModalResult).
int MessageDlg(const std::string& text, TMsgDlgType kind, unsigned buttons);
// Shorthand for an information message with an OK button.
void ShowMessage(const std::string& text);

// Replaces the handler; returns the previous one. An empty handler restores the default, which
// prints the text and answers with the first of OK, Yes, Cancel, No that the buttons offer.
TMessageHandler SetMessageHandler(TMessageHandler handler);

// For tests: records every message and answers from a queue (the default answer when empty).
class ScopedMessageRecorder {
public:
    explicit ScopedMessageRecorder(int defaultAnswer = mrOk);
    ~ScopedMessageRecorder();
    ScopedMessageRecorder(const ScopedMessageRecorder&) = delete;
    ScopedMessageRecorder& operator=(const ScopedMessageRecorder&) = delete;

    void answer(int result) { answers_.push_back(result); }
    const std::vector<TMessageRequest>& messages() const { return messages_; }
    std::vector<std::string> texts() const;

private:
    TMessageHandler previous_;
    std::vector<TMessageRequest> messages_;
    std::vector<int> answers_;
    int defaultAnswer_;
};

} // namespace korval
