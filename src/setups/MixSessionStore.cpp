#include "setups/MixSessionStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include "base/AtomicFile.h"

namespace quellor {

namespace {

// QJsonObject keeps its members sorted by name, so the indented text is sorted at every level.
std::optional<QByteArray> indentedDocument(const QJsonValue& value) {
    if (!value.isObject() || !json::isEncodable(value)) return std::nullopt;
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
}

}  // namespace

QString MixSessionStore::defaultPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG rules ignore a relative path here.
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Quellor/sessions.json");
}

std::optional<QByteArray> MixSessionStore::encode(const MixSessionFile& file) {
    return indentedDocument(json::toJson(file));
}

std::optional<QByteArray> MixSessionStore::encode(const MixSession& session) {
    return indentedDocument(json::toJson(session));
}

bool MixSessionStore::writeAtomically(const QString& path, const QByteArray& data, QString* error) {
    return writeFileAtomically(path, data, error);
}

std::optional<QByteArray> MixSessionStore::readAll(const QString& path) {
    QByteArray data;
    if (!readWholeFile(path, data)) return std::nullopt;
    return data;
}

bool MixSessionStore::save(const MixSessionFile& file, QString* error) const {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    auto data = encode(file);
    if (!data) {
        if (error) *error = path_ + QStringLiteral(": the setups cannot be encoded");
        return false;
    }
    // The previous bytes are read before the file is replaced and become the backup only after the
    // new file is in place: a save that fails (a full disk, a file that may not be written) leaves
    // both files as they were, and a backup that cannot be written leaves the older one.
    QByteArray previous;
    const bool hadPrevious = QFileInfo::exists(path_) && readWholeFile(path_, previous);
    if (!writeFileAtomically(path_, *data, error)) return false;
    if (hadPrevious) writeFileAtomically(backupPath(), previous);
    return true;
}

MixSessionStore::Loaded MixSessionStore::load() const {
    Loaded loaded;
    for (const QString& candidate : {path_, backupPath()}) removeStaleTemporaries(candidate);
    for (const QString& candidate : {path_, backupPath()}) {
        if (!QFileInfo::exists(candidate)) continue;
        auto data = readAll(candidate);
        if (data) loaded.file = json::decode<MixSessionFile>(*data);
        if (loaded.file) return loaded;
        loaded.unreadable.append(candidate);
    }
    return loaded;
}

std::vector<std::pair<QString, QString>> MixSessionStore::keepAside(const QStringList& paths) {
    std::vector<std::pair<QString, QString>> moved;
    for (const QString& path : paths) moved.emplace_back(path, keepFileAside(path).value_or(QString()));
    return moved;
}

}  // namespace quellor
