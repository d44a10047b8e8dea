#include "station/windows/message_link.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include "logbook/base/string_utils.h"
#include "platform/message_dlg.h"

namespace korval {

TMessageLink::TMessageLink(QObject* parent) : QObject(parent) {}

TMessageLink::~TMessageLink()
{
    Forget();
}

void TMessageLink::Forget()
{
    if (target_) {
        target_->abort();
        delete target_.data();
    }
    target_ = nullptr;
}

bool TMessageLink::Find(const std::string& setting)
{
    Forget();
    const auto bar = setting.find('|');
    const std::string name = TrimSpaces(setting);
    if (!name.empty()) {
        auto* s = new QLocalSocket(this);
        s->connectToServer(QString::fromLocal8Bit(name.c_str()));
        if (s->waitForConnected(1000)) {
            target_ = s;
            return true;
        }
        delete s;
    }
    const std::string cls = UpperAscii(TrimSpaces(setting.substr(0, bar)));
    const std::string title = bar == std::string::npos ? std::string() : UpperAscii(TrimSpaces(setting.substr(bar + 1)));
    MessageDlg("-Target Application Window not found: \rClass: " + cls + "\t, Title: " + title, TMsgDlgType::mtError,
               mbOK);
    return false;
}

int TMessageLink::Deliver(const std::string& frame)
{
    if (!target_ || target_->state() != QLocalSocket::ConnectedState)
        return -1;
    target_->write(frame.data(), static_cast<qint64>(frame.size()));
    if (!target_->waitForBytesWritten(AnswerMs))
        return -1;
    if (target_->bytesAvailable() == 0 && !target_->waitForReadyRead(AnswerMs))
        return -1;
    char answer = 0;
    if (target_->read(&answer, 1) != 1)
        return -1;
    return static_cast<unsigned char>(answer);
}

bool TMessageLink::Send(const std::string& setting, const std::string& text)
{
    if (!target_ && !Find(setting))
        return false;
    std::string data = text;
    data += '\0';
    const std::string frame = EncodeCopyData(CopyDataTag, data);
    int answer = Deliver(frame);
    if (answer <= 0) {
        // The program may have gone and come back: look for it once more.
        if (!Find(setting))
            return false;
        answer = Deliver(frame);
        if (answer <= 0) {
            Forget();
            MessageDlg(TargetNotRespondingText, TMsgDlgType::mtError, mbOK);
            return false;
        }
    }
    if (answer != CopyDataTaken) {
        MessageDlg(TargetCannotHandleText, TMsgDlgType::mtError, mbOK);
        return false;
    }
    return true;
}

bool TMessageLink::Listen(const QString& name)
{
    delete server_;
    server_ = new QLocalServer(this);
    QLocalServer::removeServer(name);
    connect(server_, &QLocalServer::newConnection, this, &TMessageLink::Accept);
    return server_->listen(name);
}

QString TMessageLink::ListenName() const
{
    return server_ ? server_->fullServerName() : QString();
}

void TMessageLink::Accept()
{
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        auto reader = std::make_shared<TCopyDataReader>();
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s, reader] {
            std::vector<TCopyData> messages;
            if (!reader->Feed(s->readAll().toStdString(), messages)) {
                s->abort();
                return;
            }
            for (const TCopyData& m : messages) {
                const char answer = m.tag == CopyDataTag ? CopyDataTaken : CopyDataNotUnderstood;
                s->write(&answer, 1);
                s->flush();
                if (m.tag == CopyDataTag && OnText)
                    OnText(m.data);
            }
        });
    }
}

} // namespace korval
