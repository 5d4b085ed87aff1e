#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUdpSocket>
#include <csignal>
#include <functional>
#include <optional>

#include "QuellorProcess.h"

namespace quellor::test {
namespace {

const QString kPIN = "246810";
const QString kPassword = "135791";
const QString kToneA = "org.quellor.sim.tone-a";

void oscsend(quint16 port, const QStringList& message) {
    QProcess process;
    process.start("oscsend", QStringList{"127.0.0.1", QString::number(port)} + message);
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

struct Reply {
    QString address;
    QJsonObject payload;
};

// A message with one string argument (",s"), the form of every reply; nothing for anything else.
std::optional<Reply> parseReply(const QByteArray& datagram) {
    auto padded = [&](qsizetype& at) -> std::optional<QByteArray> {
        const qsizetype end = datagram.indexOf('\0', at);
        if (end < 0) return std::nullopt;
        QByteArray text = datagram.mid(at, end - at);
        at = (end + 4) & ~qsizetype(3);
        return text;
    };
    qsizetype at = 0;
    auto address = padded(at);
    auto tags = padded(at);
    if (!address || !tags || *tags != ",s") return std::nullopt;
    auto text = padded(at);
    if (!text) return std::nullopt;
    return Reply{QString::fromUtf8(*address), QJsonDocument::fromJson(*text).object()};
}

// The program on the built-in world with a seeded PIN, password, OSC port and first strip; the
// test plays the companion, whose replies go to the sender's host on a port of the test's own (the
// program is told it at start), so another program on the usual port 9001 neither stops the test
// nor sends it anything.
class Companion : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(replies.bind(QHostAddress::LocalHost, 0)) << replies.errorString().toStdString();
        app.environment().insert("QUELLOR_COMPANION_PORT", QString::number(replies.localPort()));
        oscPort = QuellorProcess::freeUdpPort();
        QStringList strips = {kToneA, "bus:main", "bus:phones"};
        while (strips.size() < 16) strips << "";
        app.seedDefaults({{"companionPairingPIN", kPIN},
                          {"oscControlPassword", kPassword},
                          {"oscEnabled", true},
                          {"oscPort", oscPort},
                          {"consoleSlots", QJsonArray::fromStringList(strips)}});
        app.start();
        ASSERT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(oscPort))) << app.output().toStdString();
        // The engine's start hands the codes to the listener before it builds the first taps. Each
        // rebuild also sends the companion the list, so the test waits for both playing tones'
        // taps (the built-in world's processes 5 and 6) before it plays the companion.
        ASSERT_TRUE(app.waitForLog("Tap active for processes [5]")) << app.output().toStdString();
        ASSERT_TRUE(app.waitForLog("Tap active for processes [6]")) << app.output().toStdString();
    }
    void TearDown() override {
        if (app.process().state() != QProcess::NotRunning) {
            EXPECT_EQ(app.stop(SIGTERM), 0);
        }
    }

    // What arrives on the companion's port during `seconds`.
    // The replies that arrive until `enough` holds for them (then `more` seconds longer, to catch
    // what should not follow) or `seconds` have passed; a busy machine only makes it wait longer.
    std::vector<Reply> collectUntil(const std::function<bool(const std::vector<Reply>&)>& enough, double more,
                                    double seconds = 20) {
        std::vector<Reply> got;
        QDeadlineTimer deadline(qint64(seconds * 1000));
        std::optional<QDeadlineTimer> settle;
        while (!deadline.hasExpired() && !(settle && settle->hasExpired())) {
            app.process().waitForReadyRead(0);  // keeps the program's log pipe flowing
            if (!settle && enough(got)) settle = QDeadlineTimer(qint64(more * 1000));
            if (!replies.hasPendingDatagrams() && !replies.waitForReadyRead(20)) continue;
            while (replies.hasPendingDatagrams()) {
                QByteArray datagram(int(replies.pendingDatagramSize()), '\0');
                replies.readDatagram(datagram.data(), datagram.size());
                if (auto reply = parseReply(datagram)) got.push_back(*reply);
            }
        }
        return got;
    }
    static std::vector<Reply> only(const std::vector<Reply>& replies, const QString& address) {
        std::vector<Reply> found;
        for (const auto& r : replies)
            if (r.address == address) found.push_back(r);
        return found;
    }
    static std::optional<double> volumeOf(const Reply& list, const QString& bundleID) {
        for (const auto& row : list.payload["apps"].toArray())
            if (row.toObject()["bundleID"].toString() == bundleID) return row.toObject()["volume"].toDouble();
        return std::nullopt;
    }
    void contact() { oscsend(oscPort, {"/a/" + kPIN + "/record", "f", "0"}); }

    QuellorProcess app;
    QUdpSocket replies;
    quint16 oscPort = 0;
};

TEST_F(Companion, ContactBringsTheAppListAStripFaderMovesItsSourceAndMetersFlowWhileItPlays) {
    contact();
    // One contact, one list: the first, and none more in the second after it.
    auto lists = only(collectUntil([](const auto& got) { return !only(got, "/app/list").empty(); }, 1.0), "/app/list");
    ASSERT_EQ(lists.size(), 1u) << app.output().toStdString();
    EXPECT_EQ(volumeOf(lists[0], kToneA), 1.0);
    EXPECT_EQ(lists[0].payload["slots"].toArray().size(), 8);
    EXPECT_EQ(lists[0].payload["slots"].toArray()[0].toString(), kToneA);

    oscsend(oscPort, {"/a/" + kPassword + "/quellor/strip/1/fader", "f", "0.25"});
    contact();
    auto got = collectUntil(
        [](const auto& got) {
            const auto lists = only(got, "/app/list");
            return !lists.empty() && volumeOf(lists.back(), kToneA) == 0.25 && only(got, "/meters").size() >= 2;
        },
        0.0);
    lists = only(got, "/app/list");
    ASSERT_FALSE(lists.empty());
    EXPECT_EQ(volumeOf(lists.back(), kToneA), 0.25);

    // Frames flow while the tones play. Their rate is pinned on the virtual clock by the engine's
    // tests; a count over wall time here would only measure how busy the machine is.
    auto meters = only(got, "/meters");
    ASSERT_GE(meters.size(), 2u);
    EXPECT_GT(meters.back().payload[kToneA].toDouble(), 0.0);
    EXPECT_TRUE(meters.back().payload.contains("bus:main"));
}

TEST_F(Companion, AWrongPinIsRefusedWithTheLoggedBackoff) {
    oscsend(oscPort, {"/a/000000/record", "f", "0"});
    EXPECT_TRUE(app.waitForLog("OSCListener default: Bad PIN/password from 127.0.0.1; ignoring it for"))
        << app.output().toStdString();
}

}  // namespace
}  // namespace quellor::test
