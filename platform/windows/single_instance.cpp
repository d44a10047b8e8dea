#include "platform/windows/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace korval {

namespace {
// A Unix socket path must fit in sockaddr_un (108 bytes); longer homes get a short name in the
// temp folder that is still unique per home.
constexpr int kMaxSocketPath = 100;
} // namespace

TSingleInstance::TSingleInstance(const QString& folder, QObject* parent) : QObject(parent), folder_(folder) {}

TSingleInstance::~TSingleInstance()
{
    if (server_)
        server_->close();
    if (lock_)
        lock_->unlock();
}

QString TSingleInstance::lockPath() const
{
    return folder_ + QStringLiteral("/KORVAL.LCK");
}

QString TSingleInstance::serverName() const
{
    QString path = folder_ + QStringLiteral("/KORVAL.SCK");
    if (path.toLocal8Bit().size() <= kMaxSocketPath)
        return path;
    QByteArray hash = QCryptographicHash::hash(QDir(folder_).absolutePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir::tempPath() + QStringLiteral("/korval-") + QString::fromLatin1(hash) + QStringLiteral(".sck");
}

bool TSingleInstance::TryAcquire()
{
    if (!QDir().mkpath(folder_)) {
        lockUsable_ = false;
        return false;
    }
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Age alone never makes a lock stale: only a holder that no longer runs does (the lock file
    // records its process id and carries an OS lock that dies with the process).
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lockUsable_ = lock_->error() == QLockFile::LockFailedError;
        lock_.reset();
        return false;
    }
    // A socket file left by a crashed run would make listen() fail.
    QLocalServer::removeServer(serverName());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TSingleInstance::onNewConnection);
    server_->listen(serverName()); // without a listener the program still runs; it just is not woken
    return true;
}

void TSingleInstance::onNewConnection()
{
    while (QLocalSocket* sock = server_->nextPendingConnection()) {
        connect(sock, &QLocalSocket::disconnected, sock, &QObject::deleteLater);
        connect(sock, &QLocalSocket::readyRead, this, [this, sock] {
            QByteArray line = sock->readAll();
            if (line.startsWith(kInstanceName) && !terminating_)
                emit activateRequested();
            sock->disconnectFromServer();
        });
    }
}

bool TSingleInstance::SignalFirst(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QLocalSocket sock;
        sock.connectToServer(serverName());
        if (sock.waitForConnected(200)) {
            sock.write(QByteArray(kInstanceName) + '\n');
            bool ok = sock.waitForBytesWritten(1000);
            sock.disconnectFromServer();
            if (sock.state() != QLocalSocket::UnconnectedState)
                sock.waitForDisconnected(500);
            return ok;
        }
        // The first instance may hold the lock but not listen yet.
        QThread::msleep(50);
    } while (clock.elapsed() < timeoutMs);
    return false;
}

} // namespace korval
