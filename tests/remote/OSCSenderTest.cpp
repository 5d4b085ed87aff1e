#include <QElapsedTimer>
#include <QUdpSocket>

#include "TestEnvironment.h"
#include "remote/OSCMessage.h"
#include "remote/OSCSender.h"

using namespace quellor;

namespace {

// Reads one datagram with a bounded wait.
QByteArray receive(QUdpSocket& socket) {
    if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(5000)) return {};
    QByteArray data(socket.pendingDatagramSize(), '\0');
    socket.readDatagram(data.data(), data.size());
    return data;
}

}  // namespace

TEST(OSCSender, SendsStringAndFloatMessagesOverOneSocketPerDestination) {
    OSCSender sender;
    QUdpSocket companion, mixer;
    ASSERT_TRUE(companion.bind(QHostAddress::LocalHostIPv6, 0));
    ASSERT_TRUE(mixer.bind(QHostAddress::LocalHost, 0));
    const NetworkEndpoint companionEndpoint(QHostAddress::LocalHostIPv6, companion.localPort());

    sender.send(QStringLiteral("{\"apps\":[]}"), companionEndpoint, "/app/list");
    sender.send(QStringLiteral("{}"), companionEndpoint, "/meters");
    EXPECT_EQ(receive(companion), OSCSender::message("/app/list", QStringLiteral("{\"apps\":[]}")));
    EXPECT_EQ(receive(companion), OSCSender::message("/meters", QStringLiteral("{}")));

    sender.send("127.0.0.1", mixer.localPort(), "/1/busPlayback", 1.0f);
    sender.send("127.0.0.1", mixer.localPort(), "/setSubmix", 3.0f);
    EXPECT_EQ(decodeOSCMessage(receive(mixer)), (OSCMessage{"/1/busPlayback", 1.0f}));
    EXPECT_EQ(receive(mixer), OSCSender::message("/setSubmix", 3.0f));
    EXPECT_EQ(sender.connectionCount(), 2u) << "one socket per destination, reused";

    sender.cancel(NetworkEndpoint(QHostAddress("192.0.2.1"), 9001));  // never used: nothing happens
    EXPECT_EQ(sender.connectionCount(), 2u);
    sender.cancel(companionEndpoint);
    EXPECT_EQ(sender.connectionCount(), 1u);
    sender.send(QStringLiteral("again"), companionEndpoint, "/app/list");
    EXPECT_EQ(receive(companion), OSCSender::message("/app/list", QStringLiteral("again")));
}

TEST(OSCSender, FailedSendDropsTheSocketAndTheNextSendOpensANewOne) {
    OSCSender sender;
    quint16 closedPort;
    {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        closedPort = probe.localPort();
    }
    // Nobody listens: the kernel answers the first datagram with "port unreachable", which the
    // connected socket reports on the next send.
    sender.send("127.0.0.1", closedPort, "/x", 0.5f);
    ASSERT_EQ(sender.connectionCount(), 1u);
    sender.send("127.0.0.1", closedPort, "/x", 0.5f);
    EXPECT_EQ(sender.connectionCount(), 0u);

    QUdpSocket late;
    ASSERT_TRUE(late.bind(QHostAddress::LocalHost, closedPort));
    sender.send("127.0.0.1", closedPort, "/y", 0.25f);
    EXPECT_EQ(sender.connectionCount(), 1u);
    EXPECT_EQ(receive(late), OSCSender::message("/y", 0.25f));
}
