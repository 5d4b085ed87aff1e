#include "base/JsonCoding.h"

#include <QJsonDocument>
#include <cfloat>
#include <climits>
#include <cmath>

#include "base/Json.h"

namespace quellor::json {

bool isEncodable(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return std::isfinite(value.toDouble());
    case QJsonValue::Array:
        for (const auto& element : value.toArray())
            if (!isEncodable(element)) return false;
        return true;
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            if (!isEncodable(it.value())) return false;
        return true;
    }
    default:
        return true;
    }
}

std::optional<QByteArray> encodeValue(const QJsonValue& value) {
    if (!isEncodable(value)) return std::nullopt;
    if (value.isObject()) return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray()) return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    // QJsonDocument holds only objects and arrays at its root: write a scalar inside "[...]".
    QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

std::optional<QJsonValue> parseValue(const QByteArray& text) {
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error == QJsonParseError::NoError) {
        if (document.isObject()) return QJsonValue(document.object());
        return QJsonValue(document.array());
    }
    // A scalar root: read it as the only element of an array.
    document = QJsonDocument::fromJson("[" + text + "]", &error);
    if (error.error != QJsonParseError::NoError || document.array().size() != 1) return std::nullopt;
    return document.array().first();
}

namespace {
// An integral number within [low, high].
std::optional<qint64> integral(const QJsonValue& v, double low, double high) {
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (!(d >= low && d <= high) || std::trunc(d) != d) return std::nullopt;
    return v.toInteger();
}
}  // namespace

std::optional<bool> Coding<bool>::decode(const QJsonValue& v) {
    if (!v.isBool()) return std::nullopt;
    return v.toBool();
}

std::optional<int> Coding<int>::decode(const QJsonValue& v) {
    auto i = integral(v, INT_MIN, INT_MAX);
    if (!i) return std::nullopt;
    return int(*i);
}

std::optional<qint64> Coding<qint64>::decode(const QJsonValue& v) {
    // 2^63 itself is out of range; the largest double below it is the bound.
    return integral(v, -9223372036854775808.0, 9223372036854774784.0);
}

QJsonValue Coding<float>::encode(float v) { return floatAsJson(v); }

std::optional<float> Coding<float>::decode(const QJsonValue& v) {
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    // A number the float cannot hold is refused rather than read as infinity.
    if (!(std::fabs(d) <= double(FLT_MAX))) return std::nullopt;
    return float(d);
}

std::optional<double> Coding<double>::decode(const QJsonValue& v) {
    if (!v.isDouble()) return std::nullopt;
    return v.toDouble();
}

std::optional<QString> Coding<QString>::decode(const QJsonValue& v) {
    if (!v.isString()) return std::nullopt;
    return v.toString();
}

QJsonValue Coding<QUuid>::encode(const QUuid& v) { return uuidText(v); }

std::optional<QUuid> Coding<QUuid>::decode(const QJsonValue& v) {
    if (!v.isString()) return std::nullopt;
    return parseUuid(v.toString());
}

QJsonValue Coding<QDateTime>::encode(const QDateTime& v) { return toReferenceSeconds(v); }

std::optional<QDateTime> Coding<QDateTime>::decode(const QJsonValue& v) {
    if (!v.isDouble()) return std::nullopt;
    const double seconds = v.toDouble();
    // Beyond about 3 million years the millisecond count no longer fits a QDateTime: such a
    // number is damage, not a date.
    if (!(std::fabs(seconds) <= 1e14)) return std::nullopt;
    return fromReferenceSeconds(seconds);
}

}  // namespace quellor::json
