// The setups file as start-up reads it. A file that decodes gives the manager its setups (a first
// one captured when it holds none) and a current one among them; it can switch to and delete the
// setups it read, and then writes back exactly what it holds. A file that does not decode is
// kept aside, and the manager starts on a first setup of its own.
#include <QFile>

#include "SetupsFuzzing.h"

using namespace quellor;

namespace {

void exercise(const std::uint8_t* data, std::size_t size) {
    fuzz::freshFolder();
    const QByteArray text = fuzz::bytes(data, size);
    const QString path = fuzz::writeFile(QStringLiteral("sessions.json"), text);
    const auto decoded = json::decode<MixSessionFile>(text);
    auto engine = fuzz::makeEngine();
    SessionManager manager(engine, MixSessionStore(path), fuzz::fixedClock());
    fuzz::checkManager(manager, engine);
    if (!decoded || decoded->sessions.empty()) {
        FUZZ_CHECK(manager.sessions().size() == 1);
        FUZZ_CHECK(QFile::exists(path + QStringLiteral(".unreadable")) == !decoded);
        fuzz::checkFileMatches(manager);
        return;
    }
    FUZZ_CHECK(manager.sessions() == decoded->sessions);

    // Applying what was read; two setups reach every path.
    const auto read = manager.sessions();
    for (std::size_t i = 0; i < std::min<std::size_t>(read.size(), 2); ++i) {
        manager.switchTo(read[i].id);
        FUZZ_CHECK(manager.currentID() == read[i].id);
        fuzz::checkManager(manager, engine);
    }
    manager.deleteSetup();
    fuzz::checkManager(manager, engine);
    manager.persist();
    fuzz::checkFileMatches(manager);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exercise(data, size);
    fuzz::settle();
    return 0;
}
