#pragma once
// JSON conventions shared by every stored or sent record:
// - a 32-bit float is written as its shortest text (0.123, never 0.12300000339746475);
// - dates are seconds since 2001-01-01 00:00:00 UTC;
// - UUIDs are 36-character hyphenated strings (written upper-case, read in either case);
// - optional members are written only when present; null reads as absent.

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

namespace quellor::json {

// Shortest decimal text that reads back as the same float ("0.123", "1", "-0.5", "1e-07").
QString floatText(float value);
// The double whose shortest text equals floatText(value), so QJsonDocument writes it that way.
double floatAsJson(float value);

// Seconds since 2001-01-01 00:00:00 UTC.
double toReferenceSeconds(const QDateTime& when);
QDateTime fromReferenceSeconds(double seconds);

QString uuidText(const QUuid& id);                         // upper-case, hyphenated, no braces
std::optional<QUuid> parseUuid(const QString& text);       // exactly 36 characters, either case

// Lenient readers: nothing when the member is absent or null; `ok` turns false when present with
// the wrong type (a decode failure for the caller).
std::optional<double> optionalNumber(const QJsonObject& o, const QString& key, bool& ok);
std::optional<QString> optionalString(const QJsonObject& o, const QString& key, bool& ok);
std::optional<bool> optionalBool(const QJsonObject& o, const QString& key, bool& ok);

// Compact JSON text of an object or array.
QByteArray compact(const QJsonObject& o);

}  // namespace quellor::json
