#include "base/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quellor {

namespace {

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool fail(QString* error, const QString& path, const QString& why) {
    if (error) *error = path + QStringLiteral(": ") + why;
    return false;
}

// Writes everything, resuming after interrupted or partial writes.
bool writeAll(int fd, const char* bytes, qint64 size, int& error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        bytes += n;
        size -= n;
    }
    return true;
}

// A link is followed to the file it names, so that the link stays a link.
QString resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return path;
    const QString target = info.symLinkTarget();
    return target.isEmpty() ? path : target;
}

}  // namespace

bool writeFileAtomically(const QString& requested, const QByteArray& data, QString* error) {
    const QString path = resolvedTarget(requested);
    const QByteArray native = QFile::encodeName(path);

    struct stat existing {};
    const bool exists = ::stat(native.constData(), &existing) == 0;
    if (exists && ::access(native.constData(), W_OK) != 0) return fail(error, path, reason(errno));

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = native + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail(error, path, reason(errno));

    int failure = 0;
    auto step = [&failure](bool done) {
        if (!done && failure == 0) failure = errno ? errno : EIO;
        return done;
    };
    bool ok = writeAll(fd, data.constData(), data.size(), failure);
    // The new file takes the old one's permissions; a new file keeps what the umask gave it.
    if (ok && exists) ok = step(::fchmod(fd, existing.st_mode & 07777) == 0);
    // Delayed allocation can report a full disk only here: the data must be on the disk before
    // the rename makes it the file.
    if (ok) ok = step(::fsync(fd) == 0);
    if (::close(fd) != 0) ok = step(false);
    if (ok) ok = step(::rename(temporary.constData(), native.constData()) == 0);
    if (!ok) {
        ::unlink(temporary.constData());
        return fail(error, path, reason(failure));
    }
    return true;
}

bool readWholeFile(const QString& path, QByteArray& data, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(error, path, file.errorString());
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) return fail(error, path, file.errorString());
    return true;
}

std::optional<QString> keepFileAside(const QString& path) {
    QString target = path + QStringLiteral(".unreadable");
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = path + QStringLiteral(".unreadable.") + QString::number(n);
    if (!QFile::rename(path, target)) return std::nullopt;
    return target;
}

void FailureEpisode::failed(const QString& why) {
    if (!failing_) log_.error("Cannot save %s: %s", qPrintable(what_), qPrintable(why));
    failing_ = true;
    ++failures_;
}

void FailureEpisode::succeeded() {
    if (failing_) log_.info("Saved %s again", qPrintable(what_));
    failing_ = false;
    failures_ = 0;
}

}  // namespace quellor
