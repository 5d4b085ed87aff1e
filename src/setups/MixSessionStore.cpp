#include "setups/MixSessionStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

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

bool MixSessionStore::writeAtomically(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QByteArray> MixSessionStore::readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return data;
}

void MixSessionStore::save(const MixSessionFile& file) const {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    auto data = encode(file);
    if (!data) return;
    if (QFileInfo::exists(path_)) {
        QFile::remove(backupPath());
        QFile::copy(path_, backupPath());
    }
    writeAtomically(path_, *data);
}

MixSessionStore::Loaded MixSessionStore::load() const {
    Loaded loaded;
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
    for (const QString& path : paths) {
        QString target = path + QStringLiteral(".unreadable");
        for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
            target = path + QStringLiteral(".unreadable.") + QString::number(n);
        moved.emplace_back(path, QFile::rename(path, target) ? target : QString());
    }
    return moved;
}

}  // namespace quellor
