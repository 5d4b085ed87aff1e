#pragma once
// Keeps any JSON-codable value (see JsonCoding.h) as JSON data under a user-defaults key.
//
// load: the decoded value, or nothing when the key holds no data or data that does not decode as
// the type (silently: callers start from their default and the next save replaces the entry).
// save: compact JSON text stored with UserDefaults::setData. A value that cannot be encoded (a
// non-finite number anywhere) is not written: the previously stored bytes stay, and the error
// "Failed to encode <key>; not persisted" is logged under the category "JSONDefaults" (the name
// log filters and support notes already use, so it keeps that spelling).
//
// Threads: the thread that owns the defaults (the main thread).

#include <QString>
#include <optional>

#include "base/JsonCoding.h"
#include "base/UserDefaults.h"

namespace quellor {

class JsonDefaults {
public:
    JsonDefaults() = delete;

    template <class T>
    static std::optional<T> load(const QString& key, const UserDefaults& defaults = UserDefaults::standard()) {
        auto value = loadValue(key, defaults);
        if (!value) return std::nullopt;
        return json::fromJson<T>(*value);
    }

    template <class T>
    static bool save(const T& value, const QString& key, UserDefaults& defaults = UserDefaults::standard()) {
        return saveValue(json::toJson(value), key, defaults);
    }

    static std::optional<QJsonValue> loadValue(const QString& key, const UserDefaults& defaults);
    // save and saveValue return true when the value was written.
    static bool saveValue(const QJsonValue& value, const QString& key, UserDefaults& defaults);
};

}  // namespace quellor
