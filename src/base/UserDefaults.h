#pragma once
// Typed user-defaults store. Values keep their type (bool, integer, double, string, data, array,
// dictionary); the typed readers return nothing when a value is absent or of another type, so a
// caller falls back to its default ("oscPort" holding a string reads as absent). The one widening
// is integer -> double, because a JSON file cannot tell 1.0 from 1.
//
// The standard store is a JSON file ($XDG_CONFIG_HOME/Quellor/defaults.json) written atomically
// soon after each change and on flush()/destruction. A write that fails (a full disk, a file that may
// not be written) leaves the previous file whole, is logged once until a write succeeds again, and
// keeps the values in memory for the next attempt. Data values are written as {"$data": base64}.
// A store with no file is in memory only (tests).
//
// The previous version of the file is kept beside it as "defaults.json.bak", made the way the
// setups file makes its backup: once the new file is in place, the bytes it replaced are written
// (atomically) to the backup. Loading reads the file, else the backup; a file that exists but
// cannot be read or is not a JSON object is renamed to "<name>.unreadable" and logged, so that no
// save overwrites it. When no candidate reads, the store starts empty and says so
// (storedValuesLost), so that nothing takes that emptiness for what the user chose.
//
// Threads: main thread only (the file write is posted through the Scheduler).

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

#include "base/AtomicFile.h"
#include "base/Scheduler.h"

namespace quellor {

class UserDefaults : public QObject {
    Q_OBJECT
public:
    // In memory only.
    UserDefaults();
    // Backed by a JSON file; loads it now (a missing or unreadable file gives an empty store).
    explicit UserDefaults(QString filePath);
    ~UserDefaults() override;

    // The standard store of the application (installed at start-up; tests install their own).
    static UserDefaults& standard();
    static void installStandard(UserDefaults* defaults);
    // "$XDG_CONFIG_HOME/Quellor/defaults.json" (or ~/.config/...).
    static QString standardFilePath();
    QString backupFilePath() const { return filePath_ + QStringLiteral(".bak"); }
    // True when a settings file existed but neither it nor its backup could be read: every value
    // is missing although the user had set them.
    bool storedValuesLost() const { return storedValuesLost_; }

    bool contains(const QString& key) const;
    QVariant value(const QString& key) const;  // invalid QVariant when absent

    std::optional<bool> boolValue(const QString& key) const;
    std::optional<qint64> integerValue(const QString& key) const;
    std::optional<double> doubleValue(const QString& key) const;  // integers widen
    std::optional<QString> stringValue(const QString& key) const;
    std::optional<QByteArray> dataValue(const QString& key) const;
    std::optional<QVariantList> arrayValue(const QString& key) const;
    std::optional<QVariantMap> dictionaryValue(const QString& key) const;
    std::optional<QStringList> stringArrayValue(const QString& key) const;  // every element a string
    // The kind of the stored value as log lines name it: "a number", "text", "a Boolean", "data",
    // "a list", "a dictionary"; "nothing" when absent.
    QString kindOf(const QString& key) const;

    // Readers with a default, the common case.
    bool boolOr(const QString& key, bool fallback) const { return boolValue(key).value_or(fallback); }
    qint64 integerOr(const QString& key, qint64 fallback) const { return integerValue(key).value_or(fallback); }
    double doubleOr(const QString& key, double fallback) const { return doubleValue(key).value_or(fallback); }
    QString stringOr(const QString& key, const QString& fallback) const { return stringValue(key).value_or(fallback); }

    void setBool(const QString& key, bool v) { setValue(key, QVariant(v)); }
    void setInteger(const QString& key, qint64 v) { setValue(key, QVariant(v)); }
    void setDouble(const QString& key, double v) { setValue(key, QVariant(v)); }
    void setString(const QString& key, const QString& v) { setValue(key, QVariant(v)); }
    void setData(const QString& key, const QByteArray& v) { setValue(key, QVariant(v)); }
    void setArray(const QString& key, const QVariantList& v) { setValue(key, QVariant(v)); }
    void setStringArray(const QString& key, const QStringList& v);
    void setDictionary(const QString& key, const QVariantMap& v) { setValue(key, QVariant(v)); }
    // Accepts bool, integer types, float/double, QString, QByteArray, QVariantList, QVariantMap
    // (nested likewise). Emits changed(key) on every set.
    void setValue(const QString& key, const QVariant& v);
    void remove(const QString& key);

    // Writes the file now if anything changed since the last write.
    bool flush();
    QString filePath() const { return filePath_; }

signals:
    void changed(const QString& key);

private:
    void load();
    // The object in the file, or nothing (with the reason in `error`) when it cannot be used.
    std::optional<QJsonObject> readObject(const QString& path, QString& error) const;
    void scheduleWrite();

    QString filePath_;
    QVariantMap values_;
    bool dirty_ = false;
    bool storedValuesLost_ = false;
    FailureEpisode saveFailures_{Logger(QStringLiteral("UserDefaults")), QStringLiteral("the user defaults")};
    TaskSlot writeTask_;
    Liveness alive_;
};

}  // namespace quellor
