#include "base/Json.h"

#include <QJsonDocument>
#include <QTimeZone>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quellor::json {

QString floatText(float value) {
    if (std::isnan(value)) return QStringLiteral("nan");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

double floatAsJson(float value) {
    if (!std::isfinite(value)) return double(value);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    *res.ptr = '\0';
    return std::strtod(buf, nullptr);
}

namespace {
const QDateTime& referenceDate() {
    static const QDateTime ref(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return ref;
}
}  // namespace

double toReferenceSeconds(const QDateTime& when) {
    return double(referenceDate().msecsTo(when)) / 1000.0;
}

QDateTime fromReferenceSeconds(double seconds) {
    return referenceDate().addMSecs(qint64(std::llround(seconds * 1000.0)));
}

QString uuidText(const QUuid& id) { return id.toString(QUuid::WithoutBraces).toUpper(); }

std::optional<QUuid> parseUuid(const QString& text) {
    if (text.size() != 36) return std::nullopt;
    QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != QStringLiteral("00000000-0000-0000-0000-000000000000")) return std::nullopt;
    return id;
}

std::optional<double> optionalNumber(const QJsonObject& o, const QString& key, bool& ok) {
    auto v = o.value(key);
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    if (!v.isDouble()) {
        ok = false;
        return std::nullopt;
    }
    return v.toDouble();
}

std::optional<QString> optionalString(const QJsonObject& o, const QString& key, bool& ok) {
    auto v = o.value(key);
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    if (!v.isString()) {
        ok = false;
        return std::nullopt;
    }
    return v.toString();
}

std::optional<bool> optionalBool(const QJsonObject& o, const QString& key, bool& ok) {
    auto v = o.value(key);
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    if (!v.isBool()) {
        ok = false;
        return std::nullopt;
    }
    return v.toBool();
}

QByteArray compact(const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

}  // namespace quellor::json
