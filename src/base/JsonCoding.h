#pragma once
// How stored and sent records are coded as JSON.
//
// A type T is codable when json::Coding<T> has
//     static QJsonValue encode(const T& value);
//     static std::optional<T> decode(const QJsonValue& value);  // nothing when the value does not fit T
// Ready-made: bool, int, qint64, float, double, QString, QUuid (36-character text), QDateTime
// (seconds since 2001), std::vector<T>, QList<T> (so QStringList), std::map<QString, T> and
// QMap<QString, T> of codable T. A record writes its own specialisation next to its type, using
// ObjectWriter and ObjectReader so that every record follows the same rules:
//   - members are the field names; an optional field is written only when present;
//   - on reading, a missing or null optional member is absent, a required one fails the decode;
//   - a member of the wrong type fails the decode of the whole value (and of every container and
//     record around it); unknown members are ignored.
//
// Encoding builds the tree without checks; encode() refuses a tree that holds a non-finite number
// anywhere (a NaN fader value), because JSON cannot carry it and a silent null would read back
// as something else.
//
// Threads: pure functions, callable from any thread (not from realtime code: they allocate).

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <QUuid>
#include <map>
#include <optional>
#include <vector>

namespace quellor::json {

template <class T>
struct Coding;  // specialise for each codable type

template <class T>
QJsonValue toJson(const T& value) {
    return Coding<T>::encode(value);
}

template <class T>
std::optional<T> fromJson(const QJsonValue& value) {
    return Coding<T>::decode(value);
}

// True when no number anywhere in the value is NaN or infinite.
bool isEncodable(const QJsonValue& value);
// Compact UTF-8 text of any JSON value (object, array or scalar); nothing when !isEncodable.
std::optional<QByteArray> encodeValue(const QJsonValue& value);
// Parses JSON text with any value at the root; nothing when the text is not valid JSON.
std::optional<QJsonValue> parseValue(const QByteArray& text);

template <class T>
std::optional<QByteArray> encode(const T& value) {
    return encodeValue(toJson(value));
}

template <class T>
std::optional<T> decode(const QByteArray& text) {
    auto value = parseValue(text);
    if (!value) return std::nullopt;
    return fromJson<T>(*value);
}

// Builds the JSON object of a record.
class ObjectWriter {
public:
    template <class T>
    ObjectWriter& set(const QString& key, const T& value) {
        object_.insert(key, toJson(value));
        return *this;
    }
    template <class T>
    ObjectWriter& setIfPresent(const QString& key, const std::optional<T>& value) {
        if (value) object_.insert(key, toJson(*value));
        return *this;
    }
    QJsonObject object() const { return object_; }

private:
    QJsonObject object_;
};

// Reads the members of a record's JSON object and remembers whether everything fitted.
// A value that is not an object fails at once.
class ObjectReader {
public:
    explicit ObjectReader(const QJsonValue& value) : object_(value.toObject()), ok_(value.isObject()) {}

    // Present and not null.
    bool has(const QString& key) const {
        auto v = object_.value(key);
        return !v.isUndefined() && !v.isNull();
    }
    // Missing, null or of the wrong type: the read fails (the returned value is T{}).
    template <class T>
    T required(const QString& key) {
        auto v = fromJson<T>(object_.value(key));
        if (!v) {
            ok_ = false;
            return T{};
        }
        return std::move(*v);
    }
    // Missing or null: nothing. Wrong type: the read fails.
    template <class T>
    std::optional<T> optional(const QString& key) {
        if (!has(key)) return std::nullopt;
        auto v = fromJson<T>(object_.value(key));
        if (!v) ok_ = false;
        return v;
    }
    template <class T>
    T valueOr(const QString& key, T fallback) {
        return optional<T>(key).value_or(std::move(fallback));
    }

    bool ok() const { return ok_; }
    // The finished record, or nothing when any member failed.
    template <class T>
    std::optional<T> result(T record) const {
        if (!ok_) return std::nullopt;
        return std::optional<T>(std::move(record));
    }

private:
    QJsonObject object_;
    bool ok_;
};

// ---- scalars ----

template <>
struct Coding<bool> {
    static QJsonValue encode(bool v) { return v; }
    static std::optional<bool> decode(const QJsonValue& v);
};
template <>
struct Coding<int> {
    static QJsonValue encode(int v) { return v; }
    static std::optional<int> decode(const QJsonValue& v);  // integral numbers in int's range
};
template <>
struct Coding<qint64> {
    static QJsonValue encode(qint64 v) { return v; }
    static std::optional<qint64> decode(const QJsonValue& v);
};
template <>
struct Coding<float> {
    static QJsonValue encode(float v);                        // shortest text of the float
    static std::optional<float> decode(const QJsonValue& v);  // fails beyond float's range
};
template <>
struct Coding<double> {
    static QJsonValue encode(double v) { return v; }
    static std::optional<double> decode(const QJsonValue& v);
};
template <>
struct Coding<QString> {
    static QJsonValue encode(const QString& v) { return v; }
    static std::optional<QString> decode(const QJsonValue& v);
};
template <>
struct Coding<QUuid> {
    static QJsonValue encode(const QUuid& v);
    static std::optional<QUuid> decode(const QJsonValue& v);
};
template <>
struct Coding<QDateTime> {
    static QJsonValue encode(const QDateTime& v);
    static std::optional<QDateTime> decode(const QJsonValue& v);
};

// ---- containers ----

namespace detail {
template <class List>
QJsonValue encodeList(const List& list) {
    QJsonArray array;
    for (const auto& element : list) array.append(toJson(element));
    return array;
}
template <class List>
std::optional<List> decodeList(const QJsonValue& value) {
    if (!value.isArray()) return std::nullopt;
    const QJsonArray array = value.toArray();
    List list;
    list.reserve(array.size());
    for (const auto& element : array) {
        auto decoded = fromJson<typename List::value_type>(element);
        if (!decoded) return std::nullopt;
        list.push_back(std::move(*decoded));
    }
    return list;
}
template <class Map>
QJsonValue encodeMap(const Map& map) {
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it) object.insert(it->first, toJson(it->second));
    return object;
}
template <class Map>
std::optional<Map> decodeMap(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    Map map;
    for (auto it = object.begin(); it != object.end(); ++it) {
        auto decoded = fromJson<typename Map::mapped_type>(it.value());
        if (!decoded) return std::nullopt;
        map.insert({it.key(), std::move(*decoded)});
    }
    return map;
}
}  // namespace detail

template <class T>
struct Coding<std::vector<T>> {
    static QJsonValue encode(const std::vector<T>& v) { return detail::encodeList(v); }
    static std::optional<std::vector<T>> decode(const QJsonValue& v) { return detail::decodeList<std::vector<T>>(v); }
};
template <class T>
struct Coding<QList<T>> {
    static QJsonValue encode(const QList<T>& v) { return detail::encodeList(v); }
    static std::optional<QList<T>> decode(const QJsonValue& v) { return detail::decodeList<QList<T>>(v); }
};
template <class T>
struct Coding<std::map<QString, T>> {
    static QJsonValue encode(const std::map<QString, T>& v) { return detail::encodeMap(v); }
    static std::optional<std::map<QString, T>> decode(const QJsonValue& v) {
        return detail::decodeMap<std::map<QString, T>>(v);
    }
};
template <class T>
struct Coding<QMap<QString, T>> {
    // QMap's iterators are not pairs; go through its std::map.
    static QJsonValue encode(const QMap<QString, T>& v) { return detail::encodeMap(v.toStdMap()); }
    static std::optional<QMap<QString, T>> decode(const QJsonValue& v) {
        auto map = detail::decodeMap<std::map<QString, T>>(v);
        if (!map) return std::nullopt;
        return QMap<QString, T>(std::move(*map));
    }
};

}  // namespace quellor::json
