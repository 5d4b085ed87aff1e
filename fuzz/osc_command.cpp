// The address of an inbound OSC message, after the datagram decoded: the admission by pairing PIN
// and control password, the command vocabulary, and the routing of value addresses to the engine's
// callbacks. Every command names a strip or scene within range, every admitted code was the
// right one, and every callback receives what the address holds.
#include <QHostAddress>

#include "FuzzSupport.h"
#include "base/UserDefaults.h"
#include "remote/AuthenticatedAddress.h"
#include "remote/OSCCommand.h"
#include "remote/OSCListener.h"

using namespace quellor;

namespace {

const QString kPIN = QStringLiteral("123456");
const QString kPassword = QStringLiteral("654321");
const NetworkEndpoint kSender{QHostAddress(QStringLiteral("192.0.2.7")), 50000};

QString g_address;  // the address being routed

void checkCommand(const OSCCommand& command) {
    using Kind = OSCCommand::Kind;
    switch (command.kind()) {
    case Kind::StripFader:
    case Kind::StripMute:
    case Kind::StripCue:
    case Kind::StripSolo: FUZZ_CHECK(command.number() >= 1 && command.number() <= 16); break;
    case Kind::Scene: FUZZ_CHECK(command.number() >= 1 && command.number() <= 9999); break;
    default: FUZZ_CHECK(command.number() == 0);
    }
}

void installCallbacks(OSCListener& listener) {
    auto tail = [](const char* prefix) {
        FUZZ_CHECK(g_address.startsWith(QLatin1String(prefix)));
        return g_address.mid(qsizetype(qstrlen(prefix)));
    };
    auto unit = [](float value) { FUZZ_CHECK(value >= 0.0f && value <= 1.0f); };
    listener.onCommandReceived = [](OSCCommand command, std::optional<float>) {
        FUZZ_CHECK(OSCCommand::parse(g_address) == command);
        checkCommand(command);
    };
    listener.onQuellorValueReceived = [=](int number, float value) {
        unit(value);
        FUZZ_CHECK(tail("/quellor/").toInt() == number);
    };
    listener.onAppVolumeReceived = [=](const QString& id, float value) {
        unit(value);
        FUZZ_CHECK(tail("/volume/") == id);
    };
    listener.onCueReceived = [=](const QString& bundle, bool) { FUZZ_CHECK(tail("/cue/") == bundle); };
    listener.onCueVolumeReceived = [=](const QString& bundle, float value) {
        unit(value);
        FUZZ_CHECK(tail("/cuevolume/") == bundle);
    };
    listener.onSlotReceived = [=](int slot, const QString& bundle) {
        const QString rest = tail("/slot/");
        const qsizetype slash = rest.indexOf(u'/');
        FUZZ_CHECK(slash > 0 && rest.left(slash).toInt() == slot && rest.mid(slash + 1) == bundle);
    };
    listener.onSnapshotReceived = [=](int index) { FUZZ_CHECK(tail("/snapshot/").toInt() == index); };
    listener.onSnapshotSaveReceived = [] { FUZZ_CHECK(g_address == u"/snapshot/save"); };
    listener.onPanicReceived = [](bool) { FUZZ_CHECK(g_address == u"/panic"); };
    listener.onRecordReceived = [](bool) { FUZZ_CHECK(g_address == u"/record"); };
    listener.onAutoRecReceived = [](bool) { FUZZ_CHECK(g_address == u"/autorec"); };
}

// The standard defaults, in memory, with the listener's socket off: messages are handed to it, not
// sent. Made at the first input and kept for the process.
UserDefaults& defaults() {
    static UserDefaults* store = [] {
        auto* d = new UserDefaults();
        d->setBool(QStringLiteral("oscEnabled"), false);
        UserDefaults::installStandard(d);
        return d;
    }();
    return *store;
}

OSCListener& listener() {
    static OSCListener* made = [] {
        defaults();
        auto* l = new OSCListener(QHostAddress::LocalHost);
        installCallbacks(*l);
        return l;
    }();
    return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString address = QString::fromUtf8(fuzz::bytes(data, size));

    const auto command = OSCCommand::parse(address);
    if (command) {
        FUZZ_CHECK(address.startsWith(u"/quellor/"));
        checkCommand(*command);
        FUZZ_CHECK(OSCCommand::slotRouteID(command->number(), QStringList(16, QStringLiteral("x")), 16).has_value() ==
                   (command->number() >= 1 && command->number() <= 16));
    }
    if (const auto n = OSCCommand::stripIndex(address)) FUZZ_CHECK(*n >= 0 && *n <= 9999 && address.size() <= 4);

    for (const bool pinRequired : {true, false}) {
        const auto split = splitAuthenticatedAddress(address, kPIN, kPassword, pinRequired);
        if (!split || split->rejected) continue;
        if (split->text == address) {
            FUZZ_CHECK(!pinRequired && command);
        } else {
            // Accepted with a code: the password for a command, the PIN for anything else.
            const QString& code = OSCCommand::parse(split->text) ? kPassword : kPIN;
            FUZZ_CHECK(address == QStringLiteral("/a/") + code + split->text);
        }
    }

    // Through the listener: admission (each time with every sender forgiven) and routing.
    for (const bool pinRequired : {true, false}) {
        defaults().setBool(QStringLiteral("oscPinRequired"), pinRequired);
        listener().setPairingPIN(kPIN);
        listener().setControlPassword(kPassword);
        const auto admitted = listener().admit(address, OSCListener::sourceKey(kSender));
        if (!admitted) continue;
        FUZZ_CHECK(admitted == splitAuthenticatedAddress(address, kPIN, kPassword, pinRequired)->text);
        g_address = *admitted;
        for (const std::optional<float> value : {std::optional<float>(), std::optional<float>(0.5f)})
            listener().route(OSCMessage{*admitted, value}, kSender);
    }
    fuzz::settle();
    return 0;
}
