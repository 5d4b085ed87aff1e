// A single-setup file that the user imports. One that decodes is added as a new current setup with
// a new id and a name of its own, and applied; one that does not leaves everything as it was. What
// the manager exports of it imports again to the same mix.
#include "SetupsFuzzing.h"

using namespace quellor;

namespace {

void exercise(const std::uint8_t* data, std::size_t size) {
    const QString folder = fuzz::freshFolder();
    const QString path = fuzz::writeFile(QStringLiteral("import.quellorsetup"), fuzz::bytes(data, size));
    auto engine = fuzz::makeEngine();
    SessionManager manager(engine, MixSessionStore(folder + QStringLiteral("/sessions.json")), fuzz::fixedClock());
    const MixSession first = manager.sessions().front();
    if (!manager.importSetup(path)) {
        FUZZ_CHECK(manager.sessions().size() == 1 && manager.currentID() == first.id);
        fuzz::checkFileMatches(manager);
        return;
    }
    FUZZ_CHECK(manager.sessions().size() == 2);
    const MixSession imported = manager.sessions().back();
    FUZZ_CHECK(manager.currentID() == imported.id && imported.id != first.id);
    FUZZ_CHECK(!imported.name.isEmpty() && imported.name != first.name);
    fuzz::checkManager(manager, engine);
    fuzz::checkFileMatches(manager);

    const QString exported = folder + QStringLiteral("/export.quellorsetup");
    FUZZ_CHECK(manager.exportSetup(exported));
    const MixSession live = *manager.currentSession();
    FUZZ_CHECK(manager.importSetup(exported));
    const MixSession again = *manager.currentSession();
    FUZZ_CHECK(again.volumes == live.volumes && again.stripSlots == live.stripSlots && again.styles == live.styles &&
               again.mainLevel == live.mainLevel && again.phonesLevel == live.phonesLevel &&
               again.mainDeviceUID == live.mainDeviceUID);
    fuzz::checkManager(manager, engine);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exercise(data, size);
    fuzz::settle();
    return 0;
}
