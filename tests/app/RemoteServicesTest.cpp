#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QUdpSocket>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EngineFixture.h"
#include "app/EngineRemoteControl.h"
#include "app/RemoteServices.h"
#include "platform/FakeMIDIService.h"
#include "remote/MIDIMappingManager.h"
#include "remote/OSCListener.h"
#include "remote/OSCMessage.h"
#include "remote/TotalMixOSC.h"

namespace quellor::test {
namespace {

// The engine with the real remote side (OSC switched off, a fake MIDI service), writing the
// TotalMix routing over UDP to a loopback socket: TotalMix's own port when it is free, else any.
class TotalMixRouting : public EngineFixture {
protected:
    TotalMixRouting() {
        MIDIService::install(&midi);
        defaults().setBool("oscEnabled", false);
        if (!socket.bind(QHostAddress::LocalHost, TotalMixOSC::kPort)) socket.bind(QHostAddress::LocalHost, 0);
        services = std::make_unique<RemoteServices>();
        mixer = std::make_unique<MixerEngine>(
            MixerEngine::Platform{running, bluetooth, [](std::function<void()> job) { job(); }, services.get()},
            defaults());
        if (socket.localPort() != TotalMixOSC::kPort) mixer->setTotalMixDestination("127.0.0.1", socket.localPort());
    }
    ~TotalMixRouting() override {
        mixer.reset();
        services.reset();
        MIDIService::install(nullptr);
    }

    struct Received {
        TotalMixOSC::Command command;
        double at;
    };
    // Runs virtual time for `seconds` in small steps, collecting what arrives.
    std::vector<Received> receive(double seconds) {
        std::vector<Received> received;
        for (double t = 0; t < seconds; t += 0.01) {
            advance(0.01);
            while (socket.hasPendingDatagrams()) {
                QByteArray datagram(int(socket.pendingDatagramSize()), '\0');
                socket.readDatagram(datagram.data(), datagram.size());
                auto message = decodeOSCMessage(datagram);
                if (message && message->value) received.push_back({{message->address, *message->value}, scheduler().now()});
            }
        }
        return received;
    }

    FakeMIDIService midi;
    QUdpSocket socket;
    std::unique_ptr<RemoteServices> services;
    std::unique_ptr<MixerEngine> mixer;
};

TEST_F(TotalMixRouting, EightMessagesGoOut80msApartOnceEvenWhenAskedTwice) {
    ASSERT_NE(socket.localPort(), 0);
    hardware.setDefaultOutputDevice(addOutputDevice("RMEUSBDevice_1", 8));
    mixer->start();
    settle();
    mixer->writeTotalMixDefaultRouting();
    mixer->writeTotalMixDefaultRouting();
    const auto received = receive(1.5);
    ASSERT_EQ(received.size(), 8u);
    std::vector<TotalMixOSC::Command> commands;
    for (const auto& r : received) commands.push_back(r.command);
    EXPECT_EQ(commands, TotalMixOSC::defaultRoutingCommands(0, 2));
    for (std::size_t i = 1; i < received.size(); ++i)
        EXPECT_NEAR(received[i].at - received[i - 1].at, TotalMixOSC::kMessageInterval, 0.011) << i;
    EXPECT_TRUE(logs.contains("MixerEngine", LogLevel::Info, "Writing TotalMix default routing (8 messages)"));
}

TEST_F(TotalMixRouting, NothingGoesOutForADeviceWithoutAPhonesPair) {
    hardware.setDefaultOutputDevice(addOutputDevice("RMEUSBDevice_2", 2));
    mixer->start();
    settle();
    mixer->writeTotalMixDefaultRouting();
    EXPECT_TRUE(receive(1.0).empty());
}

// A loopback UDP port that is free at the moment of asking.
quint16 freeLoopbackPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

class OSCSettings : public EngineFixture {
protected:
    OSCSettings() {
        MIDIService::install(&midi);
        defaults().setBool("oscEnabled", false);
        services = std::make_unique<RemoteServices>(QHostAddress::LocalHost);
        mixer = std::make_unique<MixerEngine>(
            MixerEngine::Platform{running, bluetooth, [](std::function<void()> job) { job(); }, services.get()},
            defaults());
    }
    ~OSCSettings() override {
        mixer.reset();
        services.reset();
        MIDIService::install(nullptr);
    }

    FakeMIDIService midi;
    std::unique_ptr<RemoteServices> services;
    std::unique_ptr<MixerEngine> mixer;
};

TEST_F(OSCSettings, RestartFollowsTheSwitchAndThePort) {
    OSCListener& listener = services->oscListener();
    mixer->start();
    settle();
    ASSERT_FALSE(listener.isListening());

    const quint16 first = freeLoopbackPort();
    ASSERT_GE(first, 1024);
    defaults().setInteger("oscPort", first);
    defaults().setBool("oscEnabled", true);
    mixer->restartOSCListener();
    EXPECT_TRUE(listener.isListening());
    EXPECT_EQ(listener.port(), first);

    const quint16 second = freeLoopbackPort();
    defaults().setInteger("oscPort", second);
    mixer->restartOSCListener();
    EXPECT_TRUE(listener.isListening());
    EXPECT_EQ(listener.port(), second);
    QUdpSocket probe;
    EXPECT_TRUE(probe.bind(QHostAddress::LocalHost, first)) << "the old port is let go";

    defaults().setBool("oscEnabled", false);
    mixer->restartOSCListener();
    EXPECT_FALSE(listener.isListening());
}

// The engine with the real remote side, wired as the application wires them: what a controller
// sends reaches the engine.
using ControllerInput = OSCSettings;

TEST_F(ControllerInput, AMappedControlChangeFromAControllerMovesItsRoute) {
    hardware.setDefaultOutputDevice(addOutputDevice("USB-4", 4));
    addApp(101, kPlayer);
    addApp(102, kRadio);
    mixer->start();
    EngineRemoteControl control(*mixer, services->midiMapping());
    control.install(services->oscListener(), &services->midiManager());
    const MIDIService::Ref faders = midi.addSource(42, true);
    settle();
    auto volume = [&](const QString& id) {
        auto it = mixer->volumes().find(id);
        return it == mixer->volumes().end() ? AppVolume{}.volume : it->second.volume;
    };

    services->midiMapping().assign(7, MIDISource{42, true}, kPlayer);
    midi.sendControlChange(faders, 7, 0);
    settle();
    EXPECT_EQ(volume(kPlayer), 0.0f);
    EXPECT_EQ(volume(kRadio), 1.0f) << "only the mapped route moves";
}

// The descriptor of this process's UDP socket bound to 127.0.0.1:port, or -1.
int boundUdpSocket(quint16 port) {
    for (int fd = 0; fd < 4096; ++fd) {
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
        int type = 0;
        socklen_t typeLength = sizeof type;
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &typeLength) == 0 && type == SOCK_DGRAM &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0 && address.sin_family == AF_INET &&
            ntohs(address.sin_port) == port)
            return fd;
    }
    return -1;
}

TEST_F(OSCSettings, AListenerThatFailsIsReportedStoppedAndStartedAgainOnATimer) {
    OSCListener& listener = services->oscListener();
    mixer->start();
    settle();
    const quint16 port = freeLoopbackPort();
    defaults().setInteger("oscPort", port);
    defaults().setBool("oscEnabled", true);
    mixer->restartOSCListener();
    ASSERT_TRUE(listener.isListening());

    // The socket turns into something that cannot be received from (a pipe with data waiting):
    // the next read fails with an error the listener has no answer to.
    const int socket = boundUdpSocket(port);
    ASSERT_GE(socket, 0);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ASSERT_EQ(::write(pipe[1], "x", 1), 1);
    ASSERT_EQ(::dup2(pipe[0], socket), socket);
    ::close(pipe[0]);
    ::close(pipe[1]);
    QUdpSocket peer;
    QElapsedTimer waited;
    waited.start();
    while (listener.isListening() && waited.elapsed() < 5000) {
        peer.writeDatagram("wake", QHostAddress::LocalHost, port);  // a reader asleep on the old socket wakes
        QThread::msleep(2);
    }
    ASSERT_FALSE(listener.isListening());
    scheduler().runPending();
    EXPECT_FALSE(listener.isListening());
    EXPECT_TRUE(logs.contains("OSCListener", LogLevel::Error, "OSC Listener failed: Socket operation on non-socket"));

    // The owner starts it again on the same port; while the port is taken it tries later, less often.
    QUdpSocket squatter;
    ASSERT_TRUE(squatter.bind(QHostAddress::LocalHost, port));
    advance(RemoteServices::kListenerRetryDelay);
    EXPECT_FALSE(listener.isListening());
    EXPECT_EQ(logs.count(QStringLiteral("Failed to start OSC listener: Address already in use")), 1);
    advance(2 * RemoteServices::kListenerRetryDelay - 0.1);
    EXPECT_EQ(logs.count(QStringLiteral("Failed to start OSC listener: Address already in use")), 1);
    squatter.close();
    advance(0.1);
    EXPECT_TRUE(listener.isListening());
    EXPECT_EQ(listener.port(), port);
    advance(600);
    EXPECT_EQ(logs.count(QStringLiteral("Failed to start OSC listener: Address already in use")), 1) << "no more tries";
}

}  // namespace
}  // namespace quellor::test
