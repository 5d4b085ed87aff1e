#include "base/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
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

constexpr char kTemporaryInfix[] = ".tmp-";

// The names writeFileAtomically gives its temporaries: the target's name, ".tmp-", then 1 to 8
// lower-case hexadecimal digits (a 32-bit random number).
bool isTemporaryName(const QString& name, const QString& targetName) {
    const QString prefix = targetName + QString::fromLatin1(kTemporaryInfix);
    if (!name.startsWith(prefix)) return false;
    const QStringView digits = QStringView(name).mid(prefix.size());
    return !digits.isEmpty() && digits.size() <= 8 &&
           std::all_of(digits.begin(), digits.end(),
                       [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); });
}

}  // namespace

int removeStaleTemporaries(const QString& requested) {
    const QFileInfo target(resolvedTarget(requested));
    const QDir folder = target.absoluteDir();
    const QString targetName = target.fileName();
    int removed = 0;
    // Every name is checked here rather than by a name filter, which would read wildcard
    // characters in the target's own name.
    const QStringList candidates = folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : candidates) {
        if (!isTemporaryName(name, targetName)) continue;
        const QByteArray native = QFile::encodeName(folder.filePath(name));
        struct stat info {};
        if (::lstat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        // A writer holds its temporary locked until it has renamed it: a lock that cannot be had
        // is a write in progress.
        const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(native.constData()) == 0) ++removed;
        ::close(fd);
    }
    return removed;
}

bool writeFileAtomically(const QString& requested, const QByteArray& data, QString* error) {
    const QString path = resolvedTarget(requested);
    const QByteArray native = QFile::encodeName(path);

    struct stat existing {};
    const bool exists = ::stat(native.constData(), &existing) == 0;
    if (exists && ::access(native.constData(), W_OK) != 0) return fail(error, path, reason(errno));
    removeStaleTemporaries(path);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = native + kTemporaryInfix + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail(error, path, reason(errno));
    // Held until the rename is done (through a second descriptor, as the first is closed before
    // it), so that removeStaleTemporaries elsewhere leaves this file alone.
    ::flock(fd, LOCK_EX);
    const int lockHolder = ::dup(fd);

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
    if (!ok) ::unlink(temporary.constData());
    if (lockHolder >= 0) ::close(lockHolder);
    return ok || fail(error, path, reason(failure));
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
