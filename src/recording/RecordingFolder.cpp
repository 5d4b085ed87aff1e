#include "recording/RecordingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "base/Logger.h"
#include "base/UserDefaults.h"

namespace quellor {

namespace {
const Logger& folderLog() {
    static const Logger logger("Recording");
    return logger;
}
}  // namespace

std::optional<QString> RecordingFolder::resolve() {
    const auto data = UserDefaults::standard().dataValue(kBookmarkKey);
    if (!data) return std::nullopt;
    const QString path = QString::fromUtf8(*data);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isDir()) {
        folderLog().error("Recording folder bookmark could not be resolved; using the container");
        return std::nullopt;
    }
    return QDir::cleanPath(path);
}

QString RecordingFolder::containerFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty()) {
        const QString folder = QDir(music).filePath("Quellor");
        if (QDir().mkpath(folder)) return folder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    return documents;
}

QString RecordingFolder::current() {
    return resolve().value_or(containerFolder());
}

void RecordingFolder::reveal(const Opener& open) {
    const auto chosen = resolve();
    const QString folder = chosen.value_or(containerFolder());
    QDir().mkpath(folder);
    if (open) {
        open(folder);
    } else {
        QProcess::startDetached("xdg-open", {folder});
    }
    endAccess(chosen);
}

std::optional<QString> RecordingFolder::choose(const Picker& pick) {
    const auto folder = pick ? pick() : std::nullopt;
    if (!folder || folder->isEmpty()) return std::nullopt;
    storeBookmark(*folder);
    return folder;
}

void RecordingFolder::storeBookmark(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir()) {
        folderLog().error("Could not bookmark the chosen recording folder");
        return;
    }
    UserDefaults::standard().setData(kBookmarkKey, info.absoluteFilePath().toUtf8());
}

void RecordingFolder::endAccess(const std::optional<QString>&) {}

}  // namespace quellor
