// The MIDI learn mappings kept in the user defaults under "midiMappings": JSON data in the current
// format, or the older dictionary of number strings to route ids. Reading them again gives the
// same mappings (the older format is migrated once), a mapped number moves its target, and a
// control learnt on top of them is the one number of its target and survives a restart.
#include <QJsonDocument>
#include <QJsonObject>
#include <climits>

#include "FuzzSupport.h"
#include "base/UserDefaults.h"
#include "remote/MIDIMappingManager.h"

using namespace quellor;

namespace {

const MIDISource kController{100, true};
const QString kLearnt = QStringLiteral("bus:main");

void exercise(UserDefaults& defaults) {
    MIDIMappingManager manager(defaults);
    FUZZ_CHECK(MIDIMappingManager(defaults).mappings() == manager.mappings());

    std::vector<int> numbers{-1, 0, 7, 127, 128, INT_MAX};
    for (const auto& [key, mapping] : manager.mappings()) {
        bool ok = false;
        const int cc = key.toInt(&ok);
        if (!ok || QString::number(cc) != key) continue;
        numbers.push_back(cc);
        FUZZ_CHECK(manager.target(cc, std::nullopt) == mapping.target);
    }
    for (const int cc : numbers) {
        manager.routeForControl(cc, kController);
        manager.routeForControl(cc, MIDISource{300, false});
    }

    const int cc = numbers.back();
    manager.setLearningTarget(kLearnt);
    FUZZ_CHECK(!manager.routeForControl(cc, kController));
    FUZZ_CHECK(!manager.learningTarget());
    FUZZ_CHECK(manager.ccNumber(kLearnt) == cc);
    FUZZ_CHECK(manager.target(cc, kController) == kLearnt);
    FUZZ_CHECK(MIDIMappingManager(defaults).mappings() == manager.mappings());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text = fuzz::bytes(data, size);
    {
        UserDefaults defaults;
        defaults.setData(QString::fromLatin1(MIDIMappingManager::kDefaultsKey), text);
        exercise(defaults);
    }
    const QJsonDocument document = QJsonDocument::fromJson(text);
    if (document.isObject()) {
        UserDefaults defaults;
        defaults.setDictionary(QString::fromLatin1(MIDIMappingManager::kDefaultsKey), document.object().toVariantMap());
        exercise(defaults);
    }
    fuzz::settle();
    return 0;
}
