#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "base/Logger.h"

namespace quellor {

namespace {
const Logger& log() {
    static const Logger logger(QStringLiteral("SingleInstance"));
    return logger;
}
constexpr char kShowRequest[] = "show\n";
constexpr char kShownReply[] = "shown\n";
}  // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(folder.isEmpty() ? standardFolder() : std::move(folder)) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lockFd_ >= 0) ::close(lockFd_);
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
    if (lockFd_ >= 0) return true;
    const QByteArray path = QFile::encodeName(lockPath());
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // The folder cannot hold a lock (unwritable, full): run rather than refuse to start.
        log().error("Cannot take the single-instance lock %s: %s; running without it", path.constData(), strerror(errno));
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Ours: record who holds it for a later launch to read.
        const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) != pid.size())
            log().error("Cannot write the single-instance lock %s: %s", path.constData(), strerror(errno));
        lockFd_ = fd;
        listen();
        return true;
    }
    OtherCopy other;
    char buffer[32] = {};
    ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    ::close(fd);
    if (n > 0) other.pid = QByteArray(buffer, int(n)).trimmed().toLongLong();
    if (other.pid > 0) {
        QString target = QFileInfo(QStringLiteral("/proc/%1/exe").arg(other.pid)).symLinkTarget();
        if (!target.isEmpty()) other.executablePath = target;
    }
    other_ = other;
    if (!askOtherToShow()) log().error("The running copy (pid %lld) did not take the request to show its window", other.pid);
    return false;
}

void SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a copy that was killed would refuse the name; holding the lock proves
    // that copy is gone.
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
                if (socket->readLine() != kShowRequest) {
                    socket->disconnectFromServer();
                    return;
                }
                emit showRequested();
                // The window's requests reach the display server as the event loop turns; the reply
                // follows them, so that the asking copy's alert comes up above the window.
                QTimer::singleShot(0, socket, [socket] {
                    socket->write(kShownReply);
                    socket->flush();
                    socket->disconnectFromServer();
                });
            });
        }
    });
}

bool SingleInstance::askOtherToShow() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(1000)) return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(1000)) return false;
    // The running copy answers once its window is up.
    QDeadlineTimer deadline(kShownReplyTimeoutMs);
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired())
        socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    const bool shown = socket.canReadLine() && socket.readLine() == kShownReply;
    socket.disconnectFromServer();
    return shown;
}

QString SingleInstance::informativeText(const std::optional<QString>& executablePath) {
    return QStringLiteral("Another copy is running from ") + executablePath.value_or(QStringLiteral("another location")) +
           QStringLiteral(".");
}

}  // namespace quellor
