#pragma once
// The cluster terminal's exchange of text with another program. Where the program this terminal
// stands for sent its text to another program's window, here it goes to that program's local
// socket (a QLocalServer name or a socket path, given by the "Message handshake" setting); and
// the terminal takes text the same way on a local socket of its own.
#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

#include "station/copy_data.h"

class QLocalServer;
class QLocalSocket;

namespace korval {

inline constexpr const char* TargetNotRespondingText = "Target application not responding";
inline constexpr const char* TargetCannotHandleText = "Target application could not handle data";

class TMessageLink : public QObject {
    Q_OBJECT
public:
    explicit TMessageLink(QObject* parent = nullptr);
    ~TMessageLink() override;

    // Sends text (with a terminating NUL) to the program the setting names. Failures are shown
    // to the operator; false then.
    bool Send(const std::string& setting, const std::string& text);
    // Forgets the program found before (the setting changed).
    void Forget();

    // Takes messages on this socket name; an old socket left by a crash is removed first.
    bool Listen(const QString& name);
    QString ListenName() const;
    // The data of a message with the text tag (others are answered "not understood").
    std::function<void(const std::string& data)> OnText;

    // How long a send waits for the other program's answer.
    static constexpr int AnswerMs = 3000;

private:
    bool Find(const std::string& setting);
    // The answer byte; -1 when none came.
    int Deliver(const std::string& frame);
    void Accept();

    QPointer<QLocalSocket> target_;
    QLocalServer* server_ = nullptr;
};

} // namespace korval
