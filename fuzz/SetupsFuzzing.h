#pragma once
// What the two setups targets share: the engine stand-in of the setups tests, set up with two
// output devices, a PHONES pair and two live taps, a fixed clock, and the invariants a setup
// manager keeps whatever it read.
#include <QDateTime>
#include <algorithm>

#include "FakeSessionEngine.h"
#include "FuzzSupport.h"
#include "setups/SessionManager.h"

namespace quellor::fuzz {

inline test::FakeSessionEngine makeEngine() {
    test::FakeSessionEngine engine;
    engine.devices = {{7, QStringLiteral("USB-1")}, {9, QStringLiteral("HDMI")}};
    engine.defaultDeviceID = 7;
    engine.phones = 0.5f;
    engine.volumeMap = {{QStringLiteral("com.example.player"), AppVolume{0.4f, false, {}, false, 1.0f}}};
    engine.taps = {{QStringLiteral("com.example.player"), {0.4f, false, 1.0f}},
                   {QStringLiteral("com.example.other"), {1.0f, false, 1.0f}}};
    return engine;
}

inline SessionManager::Clock fixedClock() {
    return [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC); };
}

// At least one setup, a current one among them, and a console of 16 strips.
inline void checkManager(const SessionManager& manager, const test::FakeSessionEngine& engine) {
    FUZZ_CHECK(!manager.sessions().empty());
    FUZZ_CHECK(manager.currentSession().has_value());
    FUZZ_CHECK(engine.strips.size() == 16);
}

// What the manager holds is what its file holds once the writes handed to its writer are over.
inline void checkFileMatches(SessionManager& manager) {
    manager.waitForWrites();
    const auto loaded = manager.store().load();
    FUZZ_CHECK(loaded.file.has_value());
    FUZZ_CHECK(loaded.file->currentID == manager.currentID());
    FUZZ_CHECK(loaded.file->sessions == manager.sessions());
}

}  // namespace quellor::fuzz
