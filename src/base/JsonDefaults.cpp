#include "base/JsonDefaults.h"

#include "base/Logger.h"

namespace quellor {

namespace {
const Logger& log() {
    static const Logger logger(QStringLiteral("JSONDefaults"));
    return logger;
}
}  // namespace

std::optional<QJsonValue> JsonDefaults::loadValue(const QString& key, const UserDefaults& defaults) {
    auto data = defaults.dataValue(key);
    if (!data) return std::nullopt;
    return json::parseValue(*data);
}

bool JsonDefaults::saveValue(const QJsonValue& value, const QString& key, UserDefaults& defaults) {
    auto data = json::encodeValue(value);
    if (!data) {
        log().error("Failed to encode %s; not persisted", qPrintable(key));
        return false;
    }
    defaults.setData(key, *data);
    return true;
}

}  // namespace quellor
