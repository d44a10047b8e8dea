#include "platform/message_dlg.h"

#include <cstdio>
#include <mutex>


namespace korval {

namespace {

std::mutex g_mutex;
TMessageHandler g_handler;

int FirstDefault(unsigned buttons)
{
    if (buttons & mbOK) return mrOk;
    if (buttons & mbYes) return mrYes;
    if (buttons & mbCancel) return mrCancel;
    if (buttons & mbNo) return mrNo;
    return mrOk;
}

// Without a handler (an engine run without windows) the text goes to the error output and the
// answer is the first of OK, Yes, Cancel, No that the buttons offer.
int PrintedMessage(const TMessageRequest& req)
{
    std::fprintf(stderr, "%s\n", req.text.c_str());
    return FirstDefault(req.buttons);
}

} // namespace

int MessageDlg(const std::string& text, TMsgDlgType kind, unsigned buttons)
{
    TMessageHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    TMessageRequest req{text, kind, buttons};
    return handler ? handler(req) : PrintedMessage(req);
}

void ShowMessage(const std::string& text)
{
    MessageDlg(text, TMsgDlgType::mtInformation, mbOK);
}

TMessageHandler SetMessageHandler(TMessageHandler handler)
{
    std::lock_guard lock(g_mutex);
    std::swap(g_handler, handler);
    return handler;
}

ScopedMessageRecorder::ScopedMessageRecorder(int defaultAnswer) : defaultAnswer_(defaultAnswer)
{
    previous_ = SetMessageHandler([this](const TMessageRequest& req) {
        messages_.push_back(req);
        if (answers_.empty())
            return defaultAnswer_;
        int a = answers_.front();
        answers_.erase(answers_.begin());
        return a;
    });
}

ScopedMessageRecorder::~ScopedMessageRecorder()
{
    SetMessageHandler(previous_);
}

std::vector<std::string> ScopedMessageRecorder::texts() const
{
    std::vector<std::string> out;
    for (const auto& m : messages_)
        out.push_back(m.text);
    return out;
}

} // namespace korval
