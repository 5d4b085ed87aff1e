#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QUdpSocket>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <random>

#include "TestEnvironment.h"
#include "remote/OSCListener.h"
#include "remote/OSCSender.h"

using namespace quellor;

namespace {

// Records every callback as one line of text, in call order.
struct Calls {
    std::vector<std::string> lines;
    void install(OSCListener& l) {
        auto add = [this](QString s) { lines.push_back(s.toStdString()); };
        l.onQuellorValueReceived = [add](int n, float v) { add(QStringLiteral("quellor %1 %2").arg(n).arg(v)); };
        l.onAppVolumeReceived = [add](const QString& id, float v) { add(QStringLiteral("volume %1 %2").arg(id).arg(v)); };
        l.onCueReceived = [add](const QString& id, bool on) { add(QStringLiteral("cue %1 %2").arg(id).arg(on)); };
        l.onCueVolumeReceived = [add](const QString& id, float v) { add(QStringLiteral("cuevolume %1 %2").arg(id).arg(v)); };
        l.onSlotReceived = [add](int n, const QString& id) { add(QStringLiteral("slot %1 [%2]").arg(n).arg(id)); };
        l.onPanicReceived = [add](bool on) { add(QStringLiteral("panic %1").arg(on)); };
        l.onRecordReceived = [add](bool on) { add(QStringLiteral("record %1").arg(on)); };
        l.onAutoRecReceived = [add](bool on) { add(QStringLiteral("autorec %1").arg(on)); };
        l.onSnapshotReceived = [add](int n) { add(QStringLiteral("snapshot %1").arg(n)); };
        l.onSnapshotSaveReceived = [add] { add(QStringLiteral("snapshot save")); };
        l.onCommandReceived = [add](OSCCommand c, std::optional<float> v) {
            add(QStringLiteral("command %1/%2 %3").arg(int(c.kind())).arg(c.number()).arg(v ? QString::number(*v) : "none"));
        };
        l.onCompanionConnected = [add](const NetworkEndpoint& e) { add(QStringLiteral("phone %1").arg(e.hostText())); };
    }
};

quint16 freePort(const QHostAddress& host) {
    QUdpSocket probe;
    probe.bind(host, 0);
    return probe.localPort();
}

// How many events the listener's lines tell of: the lines logged as `line` stands and the counts
// of those left out, in lines that `countPattern` matches (its first capture is the count).
long linesAndCounts(const LogCapture& logs, const QString& line, const QString& countPattern) {
    const QRegularExpression count(countPattern);
    long total = 0;
    for (const auto& record : logs.records("OSCListener")) {
        if (record.text == line) ++total;
        else if (auto m = count.match(record.text); m.hasMatch()) total += m.captured(1).toLong();
    }
    return total;
}
const QString kConnectionLine = "OSC connection via [lo(loopback)]";
const QString kConnectionCount = "^OSC: (\\d+) more connection lines left out$";

class OSCListenerTest : public test::QuellorTest {
protected:
    OSCListenerTest() { defaults().setBool("oscEnabled", false); }

    // Waits for datagrams in flight: runs what the listener thread posted, with a bounded deadline.
    bool waitFor(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            scheduler().runPending();
            QCoreApplication::processEvents();
            if (done()) return true;
            QThread::msleep(2);
        }
        return false;
    }
    bool waitForLines(const Calls& calls, std::size_t n) {
        return waitFor([&] { return calls.lines.size() >= n; });
    }

    static void oscsend(quint16 port, const QStringList& message) {
        QProcess process;
        process.start("oscsend", QStringList{"127.0.0.1", QString::number(port)} + message);
        ASSERT_TRUE(process.waitForFinished(5000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    // A listener with codes "123456" (PIN) and "654321" (password), running on a free port of
    // `host`, its callbacks recorded in `calls`.
    std::unique_ptr<OSCListener> startListener(const QHostAddress& host, Calls& calls) {
        auto listener = std::make_unique<OSCListener>(host);
        listener->setPairingPIN("123456");
        listener->setControlPassword("654321");
        listener->start(freePort(host));
        calls.install(*listener);
        return listener;
    }

    const NetworkEndpoint companion{QHostAddress("192.0.2.7"), 50000};
};

}  // namespace

TEST_F(OSCListenerTest, RoutesAdmittedMessagesToTheirCallbacks) {
    OSCListener listener(QHostAddress::LocalHost);
    ASSERT_FALSE(listener.isListening()) << "\"oscEnabled\" off: no socket";
    Calls calls;
    calls.install(listener);
    struct Case {
        const char* address;
        std::optional<float> value;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"/volume/com.example.a", 0.7f, {"phone 192.0.2.7", "volume com.example.a 0.7"}},
        {"/cue/com.example.a", 0.5f, {"phone 192.0.2.7", "cue com.example.a 1"}},
        {"/cue/com.example.a", 0.49f, {"phone 192.0.2.7", "cue com.example.a 0"}},
        {"/cuevolume/com.example.a", 0.3f, {"phone 192.0.2.7", "cuevolume com.example.a 0.3"}},
        {"/quellor/12", 0.3f, {"phone 192.0.2.7", "quellor 12 0.3"}},
        {"/quellor/-2", 0.3f, {"phone 192.0.2.7", "quellor -2 0.3"}},
        {"/quellor/x", 0.3f, {"phone 192.0.2.7"}},
        {"/quellor/panic", std::nullopt, {"command 6/0 none"}},
        {"/quellor/strip/3/fader", 0.0f, {"command 0/3 0"}},
        {"/panic", 1.0f, {"phone 192.0.2.7", "panic 1"}},
        {"/panic", std::nullopt, {}},
        {"/record", 0.2f, {"phone 192.0.2.7", "record 0"}},
        {"/autorec", 1.0f, {"phone 192.0.2.7", "autorec 1"}},
        {"/snapshot/3", 1.0f, {"phone 192.0.2.7", "snapshot 3"}},
        {"/snapshot/3", 0.0f, {"phone 192.0.2.7"}},
        {"/snapshot/save", 1.0f, {"phone 192.0.2.7", "snapshot save"}},
        {"/snapshot/", 1.0f, {"phone 192.0.2.7"}},
        {"/slot/2/com.example.b", 0.0f, {"phone 192.0.2.7", "slot 2 [com.example.b]"}},
        {"/slot/2/", 1.0f, {"phone 192.0.2.7", "slot 2 []"}},
        {"/slot/2", 1.0f, {"phone 192.0.2.7"}},
        {"/elsewhere", 1.0f, {"phone 192.0.2.7"}},
    };
    for (const Case& c : cases) {
        calls.lines.clear();
        listener.route(OSCMessage{c.address, c.value}, companion);
        EXPECT_EQ(calls.lines, c.expected) << c.address;
    }
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Default, "OSC: no argument and not a command: /panic"));
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Default, "OSC: unknown address /elsewhere"));
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Default, "OSC: unknown address /snapshot/3"));
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Default, "OSC: unknown address /quellor/x"));
    EXPECT_EQ(logs.count("OSC: unknown address /snapshot/"), 0) << "an unreadable snapshot number is ignored silently";
    EXPECT_EQ(logs.count("OSC: unknown address /slot/2"), 0);
}

TEST_F(OSCListenerTest, AdmissionBacksOffBadCodesInVirtualTime) {
    OSCListener listener(QHostAddress::LocalHost);
    listener.setPairingPIN("123456");
    listener.setControlPassword("654321");

    EXPECT_EQ(listener.admit("/a/000000/volume/x", "192.0.2.7"), std::nullopt);
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Default, "Bad PIN/password from 192.0.2.7; ignoring it for 1s"));
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "192.0.2.7"), std::nullopt) << "a good code does not lift a block";
    EXPECT_EQ(listener.admit("/a/111111/volume/x", "192.0.2.7"), std::nullopt);
    EXPECT_EQ(logs.records("OSCListener").size(), 1u) << "not counted while blocked";
    advance(1);
    EXPECT_EQ(listener.admit("/a/000000/volume/x", "192.0.2.7"), std::nullopt);
    EXPECT_EQ(logs.records("OSCListener").size(), 1u) << "the same wrong code again: no log";
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "192.0.2.7"), "/volume/x");
    EXPECT_EQ(listener.admit("/a/654321/quellor/lock", "192.0.2.7"), "/quellor/lock");
    EXPECT_EQ(listener.admit("/a/123456/quellor/lock", "192.0.2.7"), std::nullopt) << "commands need the password";
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Default, "Bad PIN/password from 192.0.2.7; ignoring it for 1s"));

    // A new code forgives everyone at once.
    listener.admit("/a/222222/volume/x", "198.51.100.1");
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "198.51.100.1"), std::nullopt);
    listener.setControlPassword("999999");
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "198.51.100.1"), "/volume/x");

    // Bare commands only while "oscPinRequired" is off; value addresses always need the PIN.
    EXPECT_EQ(listener.admit("/quellor/panic", "h"), std::nullopt);
    defaults().setBool("oscPinRequired", false);
    EXPECT_EQ(listener.admit("/quellor/panic", "h"), "/quellor/panic");
    EXPECT_EQ(listener.admit("/volume/x", "h"), std::nullopt);
}

TEST(OSCListenerSourceKey, IsTheHostWithoutPortAndMappedIPv4IsDotted) {
    EXPECT_EQ(OSCListener::sourceKey(NetworkEndpoint(QHostAddress("192.0.2.7"), 5000)), "192.0.2.7");
    EXPECT_EQ(OSCListener::sourceKey(NetworkEndpoint(QHostAddress("2001:db8::5"), 5000)), "2001:db8::5");

    // What a dual-stack socket reports for an IPv4 sender.
    sockaddr_in6 mapped{};
    mapped.sin6_family = AF_INET6;
    mapped.sin6_port = htons(6000);
    const unsigned char bytes[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 192, 0, 2, 7};
    std::memcpy(mapped.sin6_addr.s6_addr, bytes, 16);
    const auto endpoint = NetworkEndpoint::fromSockaddr(reinterpret_cast<sockaddr*>(&mapped), sizeof mapped);
    EXPECT_EQ(OSCListener::sourceKey(endpoint), "192.0.2.7");
    EXPECT_EQ(endpoint.description(), "192.0.2.7:6000");
    EXPECT_EQ(endpoint, NetworkEndpoint(QHostAddress("192.0.2.7"), 6000)) << "one identity whichever family";
}

TEST_F(OSCListenerTest, FloodOfBadCodesPausesStrangersButNotKnownSenders) {
    OSCListener listener(QHostAddress::LocalHost);
    listener.setPairingPIN("123456");
    ASSERT_EQ(listener.admit("/a/123456/volume/x", "10.1.1.1"), "/volume/x");
    for (int i = 0; i < 30; ++i) listener.admit("/a/000000/volume/x", QStringLiteral("10.0.0.%1").arg(i));
    EXPECT_EQ(logs.count("Too many bad PINs; pausing unknown senders for 60s"), 1);
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "10.2.2.2"), std::nullopt);
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "10.1.1.1"), "/volume/x");
    advance(60);
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "10.2.2.2"), "/volume/x");
}

TEST_F(OSCListenerTest, APINHolderGuessingThePasswordFromManyAddressesIsPausedWhileTheCompanionGoesOn) {
    OSCListener listener(QHostAddress::LocalHost);
    listener.setPairingPIN("123456");
    listener.setControlPassword("654321");
    ASSERT_EQ(listener.admit("/a/123456/volume/x", "10.1.1.1"), "/volume/x");
    for (int i = 0; i < 300; ++i) {
        const QString source = QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256);
        listener.admit("/a/123456/volume/x", source);
        listener.admit(QStringLiteral("/a/%1/quellor/panic").arg(i, 6, 10, QChar('0')), source);
        if (i % 10 == 0) {
            ASSERT_EQ(listener.admit("/a/123456/volume/x", "10.1.1.1"), "/volume/x");
        }
    }
    EXPECT_EQ(logs.count("Too many bad PINs; pausing unknown senders for 60s"), 1);
    EXPECT_EQ(listener.admit("/a/654321/quellor/panic", "10.2.2.2"), std::nullopt);
    EXPECT_EQ(listener.admit("/a/123456/volume/x", "10.1.1.1"), "/volume/x");
    advance(60);
    EXPECT_EQ(listener.admit("/a/654321/quellor/panic", "10.2.2.2"), "/quellor/panic");
}

TEST_F(OSCListenerTest, AFloodWaitsBoundedForTheMainThreadWithFadersAtTheirLatestValueAndButtonsInOrder) {
    Calls calls;
    OSCListener listener(QHostAddress::LocalHost);
    listener.setPairingPIN("123456");
    listener.setControlPassword("654321");
    calls.install(listener);
    auto receive = [&](const QString& address, std::optional<float> value = std::nullopt) {
        listener.receiveDatagram(value ? OSCSender::message(address, *value) : OSCSender::message(address, QString()),
                                 companion);
    };

    // Faders, volumes and numbered controls keep their first place and take the latest value;
    // toggles and slot assignments all wait in arrival order.
    for (int i = 1; i <= 20000; ++i) {
        receive("/a/123456/volume/com.example.a", float(i) / 20000);
        if (i % 5000 == 0) receive("/a/654321/quellor/strip/2/mute");
        receive("/a/654321/quellor/strip/1/fader", float(20000 - i) / 20000);
        receive("/a/123456/quellor/7", 0.5f);
    }
    receive("/a/123456/slot/1/com.example.a", 1.0f);
    receive("/a/123456/slot/1/com.example.b", 1.0f);
    receive("/a/123456/slot/1/com.example.a", 1.0f);
    EXPECT_EQ(listener.waitingCount(), 10u);
    EXPECT_EQ(scheduler().pendingCount(), 1u) << "one hop to the main thread for the whole flood";
    scheduler().runPending();
    EXPECT_EQ(calls.lines, (std::vector<std::string>{
                               "phone 192.0.2.7", "volume com.example.a 1", "command 0/1 0", "phone 192.0.2.7",
                               "quellor 7 0.5", "command 1/2 none", "command 1/2 none", "command 1/2 none",
                               "command 1/2 none", "phone 192.0.2.7", "slot 1 [com.example.a]", "phone 192.0.2.7",
                               "slot 1 [com.example.b]", "phone 192.0.2.7", "slot 1 [com.example.a]"}));
    EXPECT_EQ(listener.waitingCount(), 0u);

    // Beyond the bound, messages are dropped and counted in one line a second.
    for (int i = 0; i < 20000; ++i) receive("/a/654321/quellor/strip/3/mute");
    receive("/a/123456/volume/com.example.b", 0.5f);
    EXPECT_EQ(listener.waitingCount(), OSCInbox::kCapacity);
    EXPECT_EQ(scheduler().pendingCount(), 1u);
    calls.lines.clear();
    scheduler().runPending();
    EXPECT_EQ(calls.lines, std::vector<std::string>(OSCInbox::kCapacity, "command 1/3 none"));
    EXPECT_FALSE(logs.containsText("OSC: dropped")) << "not before the second is over";
    advance(1);
    listener.housekeeping();
    EXPECT_EQ(logs.count(QStringLiteral("OSC: dropped %1 messages while the main thread was busy")
                             .arg(20001 - OSCInbox::kCapacity)), 1);
    calls.lines.clear();
    receive("/a/123456/volume/com.example.b", 0.25f);
    scheduler().runPending();
    EXPECT_EQ(calls.lines, (std::vector<std::string>{"phone 192.0.2.7", "volume com.example.b 0.25"}));
}

TEST_F(OSCListenerTest, SendersWithoutAValidCodeLeaveOnlyACount) {
    Calls calls;
    OSCListener listener(QHostAddress::LocalHost);
    listener.setPairingPIN("123456");
    calls.install(listener);
    const int loopback = int(if_nametoindex("lo"));
    const QByteArray kinds[] = {"junk", OSCSender::message("/volume/x", 0.5f), {},
                                OSCSender::message("/a/000000/volume/x", 0.5f)};
    for (int i = 0; i < 20000; ++i)
        listener.receiveDatagram(kinds[i % 4], NetworkEndpoint(QHostAddress("198.51.100.9"), quint16(1024 + i)), loopback);
    EXPECT_EQ(logs.count("OSC connection via [lo(loopback)]"), 0);
    EXPECT_EQ(logs.count("Bad PIN/password from 198.51.100.9; ignoring it for 1s"), 1);
    EXPECT_EQ(listener.housekeeping(), 1.0) << "no flow is kept: only the count waits for its line";
    advance(1);
    EXPECT_EQ(listener.housekeeping(), std::nullopt);
    EXPECT_EQ(logs.count("OSC: ignored 20000 datagrams without a valid code"), 1);
    EXPECT_EQ(logs.records("OSCListener").size(), 2u);
    EXPECT_TRUE(calls.lines.empty());

    // The first admitted datagram of a flow is its connection.
    listener.receiveDatagram(OSCSender::message("/a/123456/volume/x", 0.5f),
                             NetworkEndpoint(QHostAddress("198.51.100.9"), 1024), loopback);
    EXPECT_EQ(logs.count("OSC connection via [lo(loopback)]"), 1);
    EXPECT_EQ(listener.housekeeping(), 16.0) << "the flow is let go once quiet";
}

// An authenticated sender that opens a new flow from a fresh port with every datagram, each an
// address that is neither a command nor a value: each kind of line appears once a second, and the
// rest are only counted, every one of them.
TEST_F(OSCListenerTest, AnAuthenticatedFloodLogsEachKindOfLineOnceASecondAndCountsTheRest) {
    Calls calls;
    OSCListener listener(QHostAddress::LocalHost);
    listener.setPairingPIN("123456");
    calls.install(listener);
    const int loopback = int(if_nametoindex("lo"));
    constexpr int kDatagrams = 3 * 1024;  // for 3 s
    for (int i = 0; i < kDatagrams; ++i) {
        listener.receiveDatagram(OSCSender::message("/a/123456/nothing", QString()),
                                 NetworkEndpoint(QHostAddress("192.0.2.7"), quint16(1024 + i % 60000)), loopback);
        scheduler().runPending();
        advance(1.0 / 1024);
    }
    advance(1);
    listener.housekeeping();
    EXPECT_TRUE(calls.lines.empty());

    EXPECT_EQ(logs.count(kConnectionLine), 3);
    EXPECT_EQ(logs.count("OSC: no argument and not a command: /nothing"), 3);
    EXPECT_EQ(linesAndCounts(logs, kConnectionLine, kConnectionCount), kDatagrams);
    EXPECT_EQ(linesAndCounts(logs, "OSC: no argument and not a command: /nothing",
                             "^OSC: (\\d+) more messages with no argument and not a command$"),
              kDatagrams);
    EXPECT_LE(logs.records("OSCListener").size(), 12u);
}

TEST_F(OSCListenerTest, SettingsChooseWhetherAndWhereToListen) {
    struct Case {
        QVariant stored;
        quint16 port;
        QString note;  // logged once when the port is read
    };
    const Case cases[] = {
        {QVariant(), 9000, ""},
        {QVariant(qint64(80)), 9000, "\"oscPort\" 80 is outside 1024...65535; using port 9000"},
        {QVariant(qint64(70000)), 9000, "\"oscPort\" 70000 is outside 1024...65535; using port 9000"},
        {QVariant(qint64(1024)), 1024, ""},
        {QVariant(qint64(65535)), 65535, ""},
        // A hand-edited file: digits in a string are still the user's port.
        {QVariant(QString("9100")), 9100, "\"oscPort\" is stored as text; using it as port 9100"},
        {QVariant(QString("80")), 9000, "\"oscPort\" 80 is outside 1024...65535; using port 9000"},
        {QVariant(QString("9100 ")), 9000, "\"oscPort\" holds the text \"9100 \", not a port; using port 9000"},
        {QVariant(QString("-9100")), 9000, "\"oscPort\" holds the text \"-9100\", not a port; using port 9000"},
        {QVariant(QString("")), 9000, "\"oscPort\" holds the text \"\", not a port; using port 9000"},
        {QVariant(QString(100, '7')), 9000,
         "\"oscPort\" holds the text \"7777777777777777...\", not a port; using port 9000"},
        {QVariant(9100.5), 9000, "\"oscPort\" holds a number, not a port; using port 9000"},
        {QVariant(true), 9000, "\"oscPort\" holds a Boolean, not a port; using port 9000"},
    };
    for (const Case& c : cases) {
        if (c.stored.isValid()) defaults().setValue("oscPort", c.stored); else defaults().remove("oscPort");
        const int before = logs.count(c.note);
        EXPECT_EQ(OSCListener::configuredPort(), c.port) << c.stored.toString().toStdString();
        EXPECT_EQ(storedOSCPort(defaults()), c.port) << "the settings panel shows the same port";
        EXPECT_EQ(storedOSCPortNote(defaults()), c.note) << c.stored.toString().toStdString();
        if (!c.note.isEmpty()) {
            EXPECT_EQ(logs.count(c.note), before + 1) << c.note.toStdString();
        }
    }
    // A retry reads the same value again without logging it again.
    defaults().setValue("oscPort", QString("9100"));
    OSCListener::configuredPort();
    OSCListener::configuredPort();
    EXPECT_EQ(logs.count("\"oscPort\" is stored as text; using it as port 9100"), 2);
    EXPECT_EQ(validOSCPort(1023), 9000);
    EXPECT_EQ(validOSCPort(65536), 9000);

    const quint16 port = freePort(QHostAddress::LocalHost);
    defaults().setInteger("oscPort", port);
    defaults().setBool("oscEnabled", true);
    OSCListener listener(QHostAddress::LocalHost);
    EXPECT_TRUE(listener.isListening());
    EXPECT_EQ(listener.port(), port);
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Info,
                              QStringLiteral("OSC Listener ready on port %1 (Bonjour: _quellor-osc._udp)").arg(port)));

    // A port held by someone else: logged, no listener.
    OSCListener second(QHostAddress::LocalHost);
    EXPECT_FALSE(second.isListening());
    EXPECT_TRUE(logs.containsText("Failed to start OSC listener: "));
}

TEST_F(OSCListenerTest, LoopbackAdmitsByPINAndPasswordFromOscsend) {
    Calls calls;
    auto listener = startListener(QHostAddress::LocalHost, calls);
    ASSERT_TRUE(listener->isListening());
    const quint16 port = listener->port();

    oscsend(port, {"/a/123456/volume/com.example.a", "f", "0.7"});
    ASSERT_TRUE(waitForLines(calls, 2));
    EXPECT_EQ(calls.lines, (std::vector<std::string>{"phone 127.0.0.1", "volume com.example.a 0.7"}));

    calls.lines.clear();
    oscsend(port, {"/a/999999/volume/com.example.a", "f", "0.2"});  // wrong PIN
    ASSERT_TRUE(waitFor([&] { return logs.containsText("Bad PIN/password from 127.0.0.1; ignoring it for 1s"); }));
    advance(1);  // the block ends
    oscsend(port, {"/a/654321/quellor/strip/3/fader", "i", "127"});
    oscsend(port, {"/a/654321/quellor/panic"});
    ASSERT_TRUE(waitForLines(calls, 2));
    EXPECT_EQ(calls.lines, (std::vector<std::string>{"command 0/3 1", "command 6/0 none"}));
    // Each oscsend run comes from a new port; the listener saw them as separate flows (lines beyond
    // one a second are counted, and the count is logged when the listener stops at the latest).
    listener->stop();
    EXPECT_GE(linesAndCounts(logs, kConnectionLine, kConnectionCount), 3);
}

TEST_F(OSCListenerTest, ListensOnIPv6AndSurvivesGarbage) {
    Calls calls;
    auto listener = startListener(QHostAddress::LocalHostIPv6, calls);
    ASSERT_TRUE(listener->isListening());
    const quint16 port = listener->port();

    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress::LocalHostIPv6, 0));
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        QByteArray junk(qsizetype(random() % 64), '\0');
        for (char& b : junk) b = char(random());
        peer.writeDatagram(junk, QHostAddress::LocalHostIPv6, port);
    }
    peer.writeDatagram(QByteArray(65000, '/'), QHostAddress::LocalHostIPv6, port);
    peer.writeDatagram(OSCSender::message("/a/123456/cuevolume/com.example.a", 0.25f), QHostAddress::LocalHostIPv6, port);
    ASSERT_TRUE(waitForLines(calls, 2));
    EXPECT_EQ(calls.lines, (std::vector<std::string>{"phone ::1", "cuevolume com.example.a 0.25"}));
}

TEST_F(OSCListenerTest, QuietFlowsAreLetGoAndMessagesAfterStopAreNotDelivered) {
    Calls calls;
    auto listener = startListener(QHostAddress::LocalHost, calls);
    const quint16 port = listener->port();
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress::LocalHost, 0));
    auto sendValue = [&] {
        peer.writeDatagram(OSCSender::message("/a/123456/panic", 1.0f), QHostAddress::LocalHost, port);
    };
    const QString via = "OSC connection via [lo(loopback)]";

    sendValue();
    ASSERT_TRUE(waitForLines(calls, 2));
    advance(59);
    sendValue();
    ASSERT_TRUE(waitForLines(calls, 4));
    EXPECT_EQ(logs.count(via), 1) << "one flow while it keeps talking";
    advance(60 + 15 + 1);
    sendValue();
    ASSERT_TRUE(waitForLines(calls, 6));
    EXPECT_EQ(logs.count(via), 2) << "a flow quiet for over a minute was let go";

    // stop() then start() at once: a fresh socket on the same port.
    listener->stop();
    EXPECT_FALSE(listener->isListening());
    listener->start(port);
    ASSERT_TRUE(listener->isListening());
    sendValue();
    ASSERT_TRUE(waitForLines(calls, 8));
}

TEST_F(OSCListenerTest, MissingAdvertisementDaemonIsLoggedOnceAndListeningGoesOn) {
    OSCListener listener(QHostAddress::LocalHost);
    listener.start(freePort(QHostAddress::LocalHost));
    listener.start(freePort(QHostAddress::LocalHost));
    ASSERT_TRUE(listener.isListening());
    const int unavailable = logs.count("Service advertisement unavailable: Daemon not running");
    if (unavailable == 0) GTEST_SKIP() << "an Avahi daemon answers on this machine";
    EXPECT_EQ(unavailable, 1);
}
