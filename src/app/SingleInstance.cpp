#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

#include "base/Logger.h"

namespace quellor {

namespace {
const Logger& log() {
    static const Logger logger(QStringLiteral("SingleInstance"));
    return logger;
}
constexpr char kShowRequest[] = "show\n";
}  // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(folder.isEmpty() ? standardFolder() : std::move(folder)) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

QString SingleInstance::standardFolder() {
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime;
    return QDir::tempPath();
}

// Per user in the temporary folder, which all users share.
QString SingleInstance::lockPath() const { return folder_ + QStringLiteral("/quellor-%1.lock").arg(getuid()); }
QString SingleInstance::socketPath() const { return folder_ + QStringLiteral("/quellor-%1.socket").arg(getuid()); }

bool SingleInstance::acquire() {
    lock_ = std::make_unique<QLockFile>(lockPath());
    // A held lock is never stale by age, only when its process is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        listen();
        return true;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        // The folder cannot hold a lock (unwritable, full): run rather than refuse to start.
        log().error("Cannot take the single-instance lock %s; running without it", qPrintable(lockPath()));
        return true;
    }
    OtherCopy other;
    QString host, app;
    lock_->getLockInfo(&other.pid, &host, &app);
    QFileInfo exe(QStringLiteral("/proc/%1/exe").arg(other.pid));
    QString target = exe.symLinkTarget();
    if (other.pid > 0 && !target.isEmpty()) other.executablePath = target;
    other_ = other;
    lock_.reset();
    if (!askOtherToShow()) log().error("The running copy (pid %lld) did not take the request to show its window", other.pid);
    return false;
}

void SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a copy that was killed would refuse the name; the lock proves it is dead.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) {
        log().error("Cannot listen on %s: %s", qPrintable(socketPath()), qPrintable(server_->errorString()));
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // Only the one request exists; anything longer is not ours.
                if (socket->bytesAvailable() > 64) {
                    socket->abort();
                    return;
                }
                if (!socket->canReadLine()) return;
                if (socket->readLine() == kShowRequest) emit showRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::askOtherToShow() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(1000)) return false;
    socket.write(kShowRequest);
    bool ok = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return ok;
}

QString SingleInstance::informativeText(const std::optional<QString>& executablePath) {
    return QStringLiteral("Another copy is running from ") + executablePath.value_or(QStringLiteral("another location")) +
           QStringLiteral(".");
}

}  // namespace quellor
