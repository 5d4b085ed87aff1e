// The user defaults file (defaults.json) as start-up reads it. Each stored value reads back as
// exactly one type; JSON data kept under a key reads as JSON; and what the store holds it writes
// and reads back unchanged. A file that cannot be read is kept aside, not overwritten.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "FuzzSupport.h"
#include "base/JsonDefaults.h"
#include "base/UserDefaults.h"

using namespace quellor;

namespace {

void checkOneType(const UserDefaults& defaults, const QString& key) {
    const bool integer = defaults.integerValue(key).has_value();
    const int types = int(defaults.boolValue(key).has_value()) + int(integer) +
                      int(defaults.doubleValue(key).has_value() && !integer) +
                      int(defaults.stringValue(key).has_value()) + int(defaults.dataValue(key).has_value()) +
                      int(defaults.arrayValue(key).has_value()) + int(defaults.dictionaryValue(key).has_value());
    FUZZ_CHECK(types == (defaults.contains(key) ? 1 : 0));
    if (defaults.stringArrayValue(key)) FUZZ_CHECK(defaults.arrayValue(key).has_value());
}

// Data that holds JSON, as the records kept in the defaults are stored.
void checkData(const UserDefaults& defaults, const QString& key) {
    const auto value = JsonDefaults::loadValue(key, defaults);
    if (!value) return;
    const auto text = json::encodeValue(*value);
    FUZZ_CHECK(text.has_value());
    FUZZ_CHECK(json::parseValue(*text) == value);
    json::fromJson<QStringList>(*value);
    json::fromJson<std::map<QString, double>>(*value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString folder = fuzz::freshFolder();
    const QByteArray text = fuzz::bytes(data, size);
    const QString path = fuzz::writeFile(QStringLiteral("defaults.json"), text);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    const bool readable = error.error == QJsonParseError::NoError && document.isObject();
    const QStringList keys = document.object().keys();

    const QString copyPath = folder + QStringLiteral("/copy/defaults.json");
    {
        UserDefaults defaults(path);
        FUZZ_CHECK(QFile::exists(path) == readable);
        if (!readable) FUZZ_CHECK(QFile::exists(path + QStringLiteral(".unreadable")));
        for (const QString& key : keys) {
            checkOneType(defaults, key);
            checkData(defaults, key);
        }

        {
            UserDefaults copy(copyPath);
            for (const QString& key : keys) copy.setValue(key, defaults.value(key));
            FUZZ_CHECK(copy.flush());
        }
        UserDefaults reread(copyPath);
        for (const QString& key : keys) FUZZ_CHECK(reread.value(key) == defaults.value(key));
    }
    fuzz::settle();
    return 0;
}
