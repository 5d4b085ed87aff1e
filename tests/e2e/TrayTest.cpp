// The recording item in a desktop's tray, as a panel sees it: the real program on a private X
// display and a private session bus on which this test is the panel's StatusNotifierWatcher. The
// item registers, shows its menu over D-Bus (dbusmenu), and its "Stop Recording" ends a recording
// that the companion started.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QMutex>
#include <QThread>
#include <csignal>

#include "QuellorProcess.h"
#include "XvfbDisplay.h"

namespace quellor::test {

// The watcher a panel runs: it records which items register. It lives on a thread of its own, so
// that it answers while the test's thread waits on a call.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    // Each as the sender's unique name followed by the item's path (an item may register either a
    // path or a service name; the path is then the protocol's standard one).
    QStringList items() const {
        QMutexLocker lock(&mutex_);
        return items_;
    }

public slots:
    void RegisterStatusNotifierItem(const QString& serviceOrPath, const QDBusMessage& message) {
        QMutexLocker lock(&mutex_);
        const QString path = serviceOrPath.startsWith('/') ? serviceOrPath : QStringLiteral("/StatusNotifierItem");
        items_ << message.service() + path;
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    mutable QMutex mutex_;
    QStringList items_;
};

namespace {

// One entry of a dbusmenu layout: (id, properties, children).
struct MenuNode {
    int id = 0;
    QVariantMap properties;
    std::vector<MenuNode> children;
    QString label() const { return properties.value("label").toString(); }
    bool enabled() const { return properties.value("enabled", true).toBool(); }
    bool visible() const { return properties.value("visible", true).toBool(); }
};

MenuNode readNode(const QDBusArgument& argument) {
    MenuNode node;
    argument.beginStructure();
    argument >> node.id >> node.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        node.children.push_back(readNode(child.variant().value<QDBusArgument>()));
    }
    argument.endArray();
    argument.endStructure();
    return node;
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.isRunning()) << "Xvfb did not start";
        // A session bus of this test's own: no other program's tray or items meet it.
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(bus.waitForStarted(10000)) << "dbus-daemon did not start";
        QDeadlineTimer deadline(20000);
        while (!bus.canReadLine() && !deadline.hasExpired()) bus.waitForReadyRead(200);
        address = QString::fromUtf8(bus.readLine()).trimmed();
        ASSERT_FALSE(address.isEmpty()) << "dbus-daemon gave no address";

        watcherThread.start();
        watcher.moveToThread(&watcherThread);
        bool registered = false;
        QMetaObject::invokeMethod(
            &watcher,
            [&] {
                QDBusConnection c = QDBusConnection::connectToBus(address, "quellor-test-watcher");
                registered = c.registerObject("/StatusNotifierWatcher", &watcher,
                                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
                             c.registerService("org.kde.StatusNotifierWatcher");
            },
            Qt::BlockingQueuedConnection);
        ASSERT_TRUE(registered);
        client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "quellor-test-panel"));
        ASSERT_TRUE(client->isConnected());
    }
    void TearDown() override {
        if (app.process().state() != QProcess::NotRunning) EXPECT_EQ(app.stop(SIGTERM), 0);
        client.reset();
        QDBusConnection::disconnectFromBus("quellor-test-panel");
        QThread* here = QThread::currentThread();
        QMetaObject::invokeMethod(
            &watcher,
            [this, here] {
                QDBusConnection::disconnectFromBus("quellor-test-watcher");
                watcher.moveToThread(here);  // only its own thread may hand it back
            },
            Qt::BlockingQueuedConnection);
        watcherThread.quit();
        watcherThread.wait();
        bus.kill();
        bus.waitForFinished(5000);
    }

    QVariant itemProperty(const QString& name) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, "org.freedesktop.DBus.Properties", "Get");
        call << QString("org.kde.StatusNotifierItem") << name;
        const QDBusMessage reply = client->call(call, QDBus::Block, 10000);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    MenuNode menu() {
        QDBusMessage call = QDBusMessage::createMethodCall(service, menuPath, "com.canonical.dbusmenu", "GetLayout");
        call << 0 << -1 << QStringList();
        const QDBusMessage reply = client->call(call, QDBus::Block, 10000);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        if (reply.arguments().size() < 2) return {};
        return readNode(reply.arguments().at(1).value<QDBusArgument>());
    }
    std::optional<MenuNode> entry(const QString& label) {
        for (const MenuNode& n : menu().children)
            if (n.label() == label) return n;
        return std::nullopt;
    }

    XvfbDisplay display;
    QProcess bus;
    QString address;
    QThread watcherThread;
    FakeWatcher watcher;
    std::unique_ptr<QDBusConnection> client;
    QuellorProcess app;
    QString service, path, menuPath;
};

TEST_F(TrayTest, TheItemRegistersWithThePanelAndItsMenuStopsARecording) {
    const QString pin = "246810";
    const quint16 port = QuellorProcess::freeUdpPort();
    app.seedDefaults({{"companionPairingPIN", pin}, {"oscEnabled", true}, {"oscPort", port}});
    app.useDisplay(display.name());
    app.environment().insert("DBUS_SESSION_BUS_ADDRESS", address);
    app.start();

    ASSERT_TRUE(app.waitUntil([&] { return !watcher.items().isEmpty(); })) << app.output().toStdString();
    const QString registration = watcher.items().front();
    const qsizetype slash = registration.indexOf('/');
    service = registration.left(slash);
    path = registration.mid(slash);
    menuPath = itemProperty("Menu").value<QDBusObjectPath>().path();
    ASSERT_FALSE(menuPath.isEmpty());
    EXPECT_EQ(itemProperty("Status").toString(), "Active");

    std::optional<MenuNode> stop = entry("Stop Recording");
    ASSERT_TRUE(stop) << "menu: " << menu().children.size() << " entries";
    EXPECT_FALSE(stop->enabled()) << "nothing records yet";
    ASSERT_TRUE(entry("Show Quellor"));

    ASSERT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(port))) << app.output().toStdString();
    QProcess::execute("oscsend", {"127.0.0.1", QString::number(port), "/a/" + pin + "/record", "f", "1"});
    ASSERT_TRUE(app.waitForLog("Recording to ")) << app.output().toStdString();
    ASSERT_TRUE(app.waitUntil([&] {
        const auto s = entry("Stop Recording");
        return s && s->enabled();
    })) << "the stop command is offered while recording";
    std::optional<MenuNode> elapsed;
    for (const MenuNode& n : menu().children)
        if (n.label().startsWith(QString::fromUtf8("Recording — "))) elapsed = n;
    ASSERT_TRUE(elapsed);
    EXPECT_TRUE(elapsed->visible());

    stop = entry("Stop Recording");
    QDBusMessage click = QDBusMessage::createMethodCall(service, menuPath, "com.canonical.dbusmenu", "Event");
    click << stop->id << QString("clicked") << QVariant::fromValue(QDBusVariant(QVariant(0))) << 0u;
    const QDBusMessage reply = client->call(click, QDBus::Block, 10000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(app.waitForLog("MixRecorder info: Recording closed")) << app.output().toStdString();
}

}  // namespace
}  // namespace quellor::test

#include "TrayTest.moc"
