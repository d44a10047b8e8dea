#include "platform/message_dlg.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <mutex>

#include "platform/win1252.h"

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

int QtMessage(const TMessageRequest& req)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", req.text.c_str());
        return FirstDefault(req.buttons);
    }
    QString text = FromWin1252(req.text);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Korval"));
    box.setText(text);
    switch (req.kind) {
    case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); break;
    case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); break;
    case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
    case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case TMsgDlgType::mtCustom: break;
    }
    struct Map { unsigned btn; QMessageBox::StandardButton qt; int result; };
    static const Map maps[] = {
        {mbYes, QMessageBox::Yes, mrYes}, {mbNo, QMessageBox::No, mrNo}, {mbOK, QMessageBox::Ok, mrOk},
        {mbCancel, QMessageBox::Cancel, mrCancel}, {mbAbort, QMessageBox::Abort, mrAbort},
        {mbRetry, QMessageBox::Retry, mrRetry}, {mbIgnore, QMessageBox::Ignore, mrIgnore},
        {mbAll, QMessageBox::YesToAll, mrAll}, {mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
        {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    };
    QMessageBox::StandardButtons set;
    for (const Map& m : maps)
        if (req.buttons & m.btn)
            set |= m.qt;
    box.setStandardButtons(set ? set : QMessageBox::StandardButtons(QMessageBox::Ok));
    auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Map& m : maps)
        if ((req.buttons & m.btn) && m.qt == pressed)
            return m.result;
    return pressed == QMessageBox::Ok ? mrOk : mrCancel;
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
    return handler ? handler(req) : QtMessage(req);
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
