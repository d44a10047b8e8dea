#pragma once
// One running Korval per home folder. The first start takes a lock file in the Korval home and
// listens on a local socket next to it; a later start finds the lock taken, tells the first one
// to come to the front and ends. A lock left behind by a crashed run is taken over.
#include <QObject>
#include <QString>
#include <memory>

class QLockFile;
class QLocalServer;

namespace korval {

// The name that both the lock and the wake-up message carry.
inline constexpr const char* kInstanceName = "Prev Inst KORVAL32";

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // folder: where the lock and the socket live (the Korval home).
    explicit TSingleInstance(const QString& folder, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // Takes the lock atomically. True: this is the first instance and now listens for others.
    // False: another instance holds it (call SignalFirst and end), or the folder cannot be used
    // (then lockUsable() is false and the program may run without the guard).
    bool TryAcquire();
    bool lockUsable() const { return lockUsable_; }

    // Sends the wake-up message to the running instance, retrying for up to timeoutMs while it
    // is still starting its listener. True when the message was delivered.
    bool SignalFirst(int timeoutMs = 3000);

    // Set while the program shuts down: wake-up messages are then ignored.
    void setTerminating(bool on) { terminating_ = on; }

    QString lockPath() const;
    QString serverName() const;

signals:
    // A later start asked this instance to come to the front.
    void activateRequested();

private:
    void onNewConnection();

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    bool lockUsable_ = true;
    bool terminating_ = false;
};

} // namespace korval
