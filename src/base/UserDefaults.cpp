#include "base/UserDefaults.h"

#include "base/AtomicFile.h"
#include "base/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <cmath>

namespace quellor {
namespace {

UserDefaults* g_standard = nullptr;
const Logger& log() {
    static Logger l("UserDefaults");
    return l;
}

// Normalises a value to the store's types: bool, qint64, double, QString, QByteArray,
// QVariantList, QVariantMap. Anything else becomes invalid.
QVariant normalise(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool: return QVariant(v.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULong:
        return QVariant(qint64(v.toLongLong()));
    case QMetaType::ULongLong: return QVariant(qint64(v.toULongLong()));
    case QMetaType::Float:
    case QMetaType::Double: return QVariant(v.toDouble());
    case QMetaType::QString: return QVariant(v.toString());
    case QMetaType::QByteArray: return QVariant(v.toByteArray());
    case QMetaType::QStringList: {
        QVariantList out;
        for (auto& s : v.toStringList()) out.push_back(s);
        return QVariant(out);
    }
    case QMetaType::QVariantList: {
        QVariantList out;
        for (auto& e : v.toList()) out.push_back(normalise(e));
        return QVariant(out);
    }
    case QMetaType::QVariantMap: {
        QVariantMap out;
        auto m = v.toMap();
        for (auto it = m.begin(); it != m.end(); ++it) out.insert(it.key(), normalise(it.value()));
        return QVariant(out);
    }
    default: return QVariant();
    }
}

QJsonValue toJson(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool: return QJsonValue(v.toBool());
    case QMetaType::LongLong: return QJsonValue(v.toLongLong());
    case QMetaType::Double: {
        double d = v.toDouble();
        if (!std::isfinite(d)) return QJsonValue(QJsonValue::Null);
        return QJsonValue(d);
    }
    case QMetaType::QString: return QJsonValue(v.toString());
    case QMetaType::QByteArray: {
        QJsonObject o;
        o.insert("$data", QString::fromLatin1(v.toByteArray().toBase64()));
        return o;
    }
    case QMetaType::QVariantList: {
        QJsonArray a;
        for (auto& e : v.toList()) a.append(toJson(e));
        return a;
    }
    case QMetaType::QVariantMap: {
        QJsonObject o;
        auto m = v.toMap();
        for (auto it = m.begin(); it != m.end(); ++it) o.insert(it.key(), toJson(it.value()));
        return o;
    }
    default: return QJsonValue(QJsonValue::Null);
    }
}

QVariant fromJson(const QJsonValue& j) {
    switch (j.type()) {
    case QJsonValue::Bool: return QVariant(j.toBool());
    case QJsonValue::Double: {
        double d = j.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 9.007199254740992e15) return QVariant(qint64(d));
        return QVariant(d);
    }
    case QJsonValue::String: return QVariant(j.toString());
    case QJsonValue::Array: {
        QVariantList out;
        for (auto e : j.toArray()) out.push_back(fromJson(e));
        return QVariant(out);
    }
    case QJsonValue::Object: {
        auto o = j.toObject();
        if (o.size() == 1 && o.contains("$data") && o.value("$data").isString())
            return QVariant(QByteArray::fromBase64(o.value("$data").toString().toLatin1()));
        QVariantMap out;
        for (auto it = o.begin(); it != o.end(); ++it) out.insert(it.key(), fromJson(it.value()));
        return QVariant(out);
    }
    default: return QVariant();
    }
}

}  // namespace

UserDefaults::UserDefaults() = default;

UserDefaults::UserDefaults(QString filePath) : filePath_(std::move(filePath)) { load(); }

UserDefaults::~UserDefaults() { flush(); }

UserDefaults& UserDefaults::standard() {
    if (!g_standard) {
        // Nothing installed (a test that did not care): an in-memory store that lives for the process.
        static UserDefaults fallback;
        g_standard = &fallback;
    }
    return *g_standard;
}

void UserDefaults::installStandard(UserDefaults* defaults) { g_standard = defaults; }

QString UserDefaults::standardFilePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + "/.config";
    return base + "/Quellor/defaults.json";
}

std::optional<QJsonObject> UserDefaults::readObject(const QString& path, QString& error) const {
    QByteArray bytes;
    if (!readWholeFile(path, bytes, &error)) return std::nullopt;
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError) error = path + QStringLiteral(": ") + err.errorString();
    else if (!doc.isObject()) error = path + QStringLiteral(": not a JSON object");
    else return doc.object();
    return std::nullopt;
}

void UserDefaults::load() {
    std::optional<QJsonObject> object;
    bool anyExisted = false;
    for (const QString& candidate : {filePath_, backupFilePath()}) removeStaleTemporaries(candidate);
    for (const QString& candidate : {filePath_, backupFilePath()}) {
        if (!QFileInfo::exists(candidate)) continue;
        anyExisted = true;
        QString error;
        object = readObject(candidate, error);
        if (object) {
            if (candidate != filePath_) log().notice("Read the defaults from the backup %s", qPrintable(candidate));
            break;
        }
        // A file that cannot be used would be replaced by a later save: keep it for the user.
        const auto kept = keepFileAside(candidate);
        log().error("Ignoring unreadable defaults file %s; %s", qPrintable(error),
                    kept ? qPrintable(QStringLiteral("kept as ") + *kept) : "it could not be kept aside");
    }
    if (!object) {
        storedValuesLost_ = anyExisted;
        return;
    }
    for (auto it = object->begin(); it != object->end(); ++it) {
        QVariant v = fromJson(it.value());
        if (v.isValid()) values_.insert(it.key(), v);
    }
}

bool UserDefaults::contains(const QString& key) const { return values_.contains(key); }

QVariant UserDefaults::value(const QString& key) const { return values_.value(key); }

std::optional<bool> UserDefaults::boolValue(const QString& key) const {
    auto v = values_.value(key);
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    return std::nullopt;
}

std::optional<qint64> UserDefaults::integerValue(const QString& key) const {
    auto v = values_.value(key);
    if (v.typeId() == QMetaType::LongLong) return v.toLongLong();
    return std::nullopt;
}

std::optional<double> UserDefaults::doubleValue(const QString& key) const {
    auto v = values_.value(key);
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong) return v.toDouble();
    return std::nullopt;
}

std::optional<QString> UserDefaults::stringValue(const QString& key) const {
    auto v = values_.value(key);
    if (v.typeId() == QMetaType::QString) return v.toString();
    return std::nullopt;
}

std::optional<QByteArray> UserDefaults::dataValue(const QString& key) const {
    auto v = values_.value(key);
    if (v.typeId() == QMetaType::QByteArray) return v.toByteArray();
    return std::nullopt;
}

std::optional<QVariantList> UserDefaults::arrayValue(const QString& key) const {
    auto v = values_.value(key);
    if (v.typeId() == QMetaType::QVariantList) return v.toList();
    return std::nullopt;
}

std::optional<QVariantMap> UserDefaults::dictionaryValue(const QString& key) const {
    auto v = values_.value(key);
    if (v.typeId() == QMetaType::QVariantMap) return v.toMap();
    return std::nullopt;
}

std::optional<QStringList> UserDefaults::stringArrayValue(const QString& key) const {
    auto a = arrayValue(key);
    if (!a) return std::nullopt;
    QStringList out;
    for (auto& e : *a) {
        if (e.typeId() != QMetaType::QString) return std::nullopt;
        out.push_back(e.toString());
    }
    return out;
}

QString UserDefaults::kindOf(const QString& key) const {
    switch (values_.value(key).typeId()) {
    case QMetaType::Bool: return QStringLiteral("a Boolean");
    case QMetaType::LongLong:
    case QMetaType::Double: return QStringLiteral("a number");
    case QMetaType::QString: return QStringLiteral("text");
    case QMetaType::QByteArray: return QStringLiteral("data");
    case QMetaType::QVariantList: return QStringLiteral("a list");
    case QMetaType::QVariantMap: return QStringLiteral("a dictionary");
    default: return QStringLiteral("nothing");
    }
}

void UserDefaults::setStringArray(const QString& key, const QStringList& v) {
    QVariantList l;
    for (auto& s : v) l.push_back(s);
    setValue(key, QVariant(l));
}

void UserDefaults::setValue(const QString& key, const QVariant& v) {
    QVariant n = normalise(v);
    if (!n.isValid()) {
        remove(key);
        return;
    }
    values_.insert(key, n);
    scheduleWrite();
    emit changed(key);
}

void UserDefaults::remove(const QString& key) {
    bool had = values_.remove(key) > 0;
    if (had) scheduleWrite();
    emit changed(key);
}

void UserDefaults::scheduleWrite() {
    dirty_ = true;
    if (filePath_.isEmpty() || writeTask_.pending()) return;
    writeTask_.set(Scheduler::current().post(alive_.guard([this] {
        writeTask_.clear();
        flush();
    })));
}

bool UserDefaults::flush() {
    if (!dirty_ || filePath_.isEmpty()) return true;
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QJsonObject o;
    for (auto it = values_.begin(); it != values_.end(); ++it) o.insert(it.key(), toJson(it.value()));
    // The bytes being replaced become the backup once the new file is in place; a failed save
    // leaves both files as they were, and a file damaged since it was read never replaces a
    // backup that reads.
    QByteArray previous;
    const bool hadPrevious = QFileInfo::exists(filePath_) && readWholeFile(filePath_, previous) &&
                             QJsonDocument::fromJson(previous).isObject();
    QString error;
    if (!writeFileAtomically(filePath_, QJsonDocument(o).toJson(QJsonDocument::Indented), &error)) {
        // The values stay in memory and dirty: the next change, or the flush at quit, tries again.
        saveFailures_.failed(error);
        return false;
    }
    if (hadPrevious) writeFileAtomically(backupFilePath(), previous);
    saveFailures_.succeeded();
    dirty_ = false;
    return true;
}

}  // namespace quellor
