#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QtEndian>
#include <csignal>

#include "QuellorProcess.h"

namespace quellor::test {
namespace {

const QString kPIN = "246810";
const QString kTone = "org.quellor.test.tone";

QString run(const QString& program, const QStringList& arguments, bool standardError = false) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        ADD_FAILURE() << qPrintable(program) << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(standardError ? process.readAllStandardError() : process.readAllStandardOutput()).trimmed();
}

// The one value of "sox <file> -n stat" named `name` (sox writes the statistics to its error output).
double soxStat(const QString& file, const QString& name) {
    const QString stats = run("sox", {file, "-n", "stat"}, true);
    const auto match = QRegularExpression("^" + QRegularExpression::escape(name) + R"(:\s+(\S+)$)",
                                          QRegularExpression::MultilineOption)
                           .match(stats);
    EXPECT_TRUE(match.hasMatch()) << qPrintable(stats);
    return match.captured(1).toDouble();
}

// The sizes in a WAV file's header against its length: {RIFF size, data size, file length, data start}.
struct WavSizes {
    qint64 riff = -1, data = -1, length = -1, dataStart = -1;
};
WavSizes wavSizes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = file.read(4096);
    const qint64 dataAt = head.indexOf("data");
    if (dataAt < 0 || head.size() < dataAt + 8) return {};
    auto u32 = [&](qint64 at) { return qint64(qFromLittleEndian<quint32>(head.constData() + at)); };
    return {u32(4), u32(dataAt + 4), file.size(), dataAt + 8};
}

// The program on a world of one stereo output at 48 kHz and one application playing a 1 kHz tone
// at 0.5; the test is the companion, with the pairing PIN seeded.
class WholeProgramRecording : public ::testing::Test {
protected:
    void SetUp() override {
        const QJsonObject world{
            {"devices", QJsonArray{QJsonObject{{"uid", "speakers"},
                                               {"name", "Speakers"},
                                               {"output", QJsonObject{{"streams", QJsonArray{2}}}},
                                               {"sampleRate", 48000}}}},
            {"defaultOutput", "speakers"},
            {"processes", QJsonArray{QJsonObject{
                              {"pid", 4200},
                              {"bundleID", kTone},
                              {"name", "Tone"},
                              {"playing", true},
                              {"tone", QJsonObject{{"kind", "sine"}, {"frequency", 1000}, {"amplitude", 0.5}}}}}},
        };
        const QString worldPath = app.homePath() + "/world.json";
        QFile file(worldPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(world).toJson());
        file.close();
        app.environment().insert("QUELLOR_WORLD", worldPath);

        // The tone's fader at 0.5, a gain of 0.125: its peak in the mix is 0.0625.
        const QJsonObject volumes{{kTone, QJsonObject{{"volume", 0.5}, {"isMuted", false},
                                                      {"outputDeviceUIDs", QJsonArray{}}, {"isCued", false},
                                                      {"cueVolume", 1.0}}}};
        const QByteArray stored = QJsonDocument(volumes).toJson(QJsonDocument::Compact).toBase64();
        oscPort = QuellorProcess::freeUdpPort();
        app.seedDefaults({{"companionPairingPIN", kPIN},
                          {"oscEnabled", true},
                          {"oscPort", oscPort},
                          {"appVolumes", QJsonObject{{"$data", QString::fromLatin1(stored)}}}});
        app.start();
        ASSERT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(oscPort))) << app.output().toStdString();
        // The engine's start hands the PIN to the listener before it builds the first taps.
        ASSERT_TRUE(app.waitForLog("Tap active for processes")) << app.output().toStdString();
    }
    void TearDown() override {
        if (app.process().state() != QProcess::NotRunning) {
            EXPECT_EQ(app.stop(SIGTERM), 0);
        }
    }

    void send(const QString& address, double value) {
        run("oscsend", {"127.0.0.1", QString::number(oscPort), "/a/" + kPIN + address, "f", QString::number(value)});
    }
    // Lets the program run for `seconds` of wall time, reading its log as it goes.
    void play(double seconds) {
        QDeadlineTimer deadline(qint64(seconds * 1000));
        while (!deadline.hasExpired()) app.process().waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    QStringList recordings() const {
        return QDir(app.homePath() + "/Music/Quellor").entryList({"Quellor *.wav"}, QDir::Files);
    }
    // Seconds of the take's audio that its header counts (two float channels at 48 kHz); the
    // writer updates it with every write. Waits for a take to grow rather than for the wall clock,
    // which a busy machine may render less of.
    bool waitForTakeOf(double seconds) {
        return app.waitUntil(
            [&] {
                const QStringList files = recordings();
                return files.size() == 1 &&
                       wavSizes(app.homePath() + "/Music/Quellor/" + files.front()).data > qint64(seconds * 48000 * 8);
            },
            120);
    }

    QuellorProcess app;
    quint16 oscPort = 0;
};

TEST_F(WholeProgramRecording, RecordMessagesMakeAWavOfTheMainMixAndASilentTakeIsDiscarded) {
    QElapsedTimer recorded;
    send("/record", 1.0);
    recorded.start();
    ASSERT_TRUE(app.waitForLog("Recording to ")) << app.output().toStdString();
    ASSERT_TRUE(waitForTakeOf(1.5)) << app.output().toStdString();
    send("/record", 0.0);
    const double seconds = double(recorded.elapsed()) / 1000.0;
    ASSERT_TRUE(app.waitForLog("MixRecorder info: Recording closed")) << app.output().toStdString();

    const QStringList files = recordings();
    ASSERT_EQ(files.size(), 1) << app.output().toStdString();
    const QString take = app.homePath() + "/Music/Quellor/" + files.front();
    EXPECT_EQ(run("soxi", {"-c", take}), "2");
    EXPECT_EQ(run("soxi", {"-b", take}), "32");
    EXPECT_EQ(run("soxi", {"-e", take}), "Floating Point PCM");
    EXPECT_EQ(run("soxi", {"-r", take}), "48000");
    // The simulated devices play in real time: a loaded machine may render less than the wall clock
    // saw, never more.
    const double duration = run("soxi", {"-D", take}).toDouble();
    EXPECT_GT(duration, 1.0);
    EXPECT_LT(duration, seconds + 0.5);
    EXPECT_NEAR(soxStat(take, "Maximum amplitude"), 0.0625, 0.002);
    EXPECT_NEAR(soxStat(take, "RMS     amplitude"), 0.0625 / std::sqrt(2.0), 0.003);

    // Silence: the take is removed when it closes.
    send("/volume/" + kTone, 0.0);
    play(0.5);
    send("/record", 1.0);
    play(1.5);
    send("/record", 0.0);
    ASSERT_TRUE(app.waitUntil([&] { return app.output().count("MixRecorder info: Recording closed") == 2; }))
        << app.output().toStdString();
    EXPECT_EQ(recordings(), files);
}

TEST_F(WholeProgramRecording, ATakeKilledMidwayPlaysToItsLastWriteAndIsMadeWholeAtTheNextStart) {
    send("/record", 1.0);
    ASSERT_TRUE(app.waitForLog("Recording to ")) << app.output().toStdString();
    ASSERT_TRUE(waitForTakeOf(1.5)) << app.output().toStdString();
    app.stop(SIGKILL);

    const QStringList files = recordings();
    ASSERT_EQ(files.size(), 1) << app.output().toStdString();
    const QString take = app.homePath() + "/Music/Quellor/" + files.front();
    // The writer stays a second behind the mix and updates the header with every write.
    EXPECT_GT(run("soxi", {"-D", take}).toDouble(), 1.0);
    // Frames written after the last header update, the last of them torn.
    {
        QFile torn(take);
        ASSERT_TRUE(torn.open(QIODevice::Append));
        torn.write(QByteArray(8 * 100 + 3, '\0'));
    }

    app.start();
    ASSERT_TRUE(app.waitForLog("Quellor started")) << app.output().toStdString();
    EXPECT_TRUE(app.output().contains("Repaired the header of the interrupted recording " + take));
    const WavSizes sizes = wavSizes(take);
    EXPECT_EQ(sizes.riff, sizes.length - 8);
    EXPECT_EQ(sizes.dataStart + sizes.data, sizes.length);
    EXPECT_EQ(sizes.data % 8, 0);
    EXPECT_NEAR(soxStat(take, "Maximum amplitude"), 0.0625, 0.002);
}

// The recordings folder removed in the middle of a take: the program notices, says so, makes the
// folder again and keeps the whole take there, what it wrote before the removal and what came after.
TEST_F(WholeProgramRecording, ATakeWhoseFolderIsRemovedIsKeptWholeInTheFolderMadeAgain) {
    send("/record", 1.0);
    ASSERT_TRUE(app.waitForLog("Recording to ")) << app.output().toStdString();
    const QString folder = app.homePath() + "/Music/Quellor";
    ASSERT_EQ(recordings().size(), 1);
    const QString name = recordings().front();
    // Something written before the folder goes: the header says how long the take is after each write.
    ASSERT_TRUE(app.waitUntil([&] { return wavSizes(folder + "/" + name).data > 0; })) << app.output().toStdString();
    ASSERT_TRUE(QDir(folder).removeRecursively());

    const QRegularExpression kept("Recording \\S.* kept in (.*): (\\d+) frames so far");
    ASSERT_TRUE(app.waitUntil([&] { return kept.match(app.output()).hasMatch(); })) << app.output().toStdString();
    const auto match = kept.match(app.output());
    EXPECT_EQ(match.captured(1), folder + "/" + name);
    const qint64 framesBefore = match.captured(2).toLongLong();
    EXPECT_GT(framesBefore, 0);
    EXPECT_TRUE(app.output().contains(folder + "/" + name + " vanished during the take"));
    // The take goes on in the kept file: wait until it holds more than was copied into it.
    ASSERT_TRUE(app.waitUntil([&] { return wavSizes(folder + "/" + name).data > 8 * framesBefore; }))
        << app.output().toStdString();
    send("/record", 0.0);
    ASSERT_TRUE(app.waitForLog("MixRecorder info: Recording closed")) << app.output().toStdString();

    EXPECT_EQ(recordings(), QStringList{name});
    const QString take = folder + "/" + name;
    EXPECT_EQ(run("soxi", {"-c", take}), "2");
    EXPECT_EQ(run("soxi", {"-r", take}), "48000");
    EXPECT_GT(run("soxi", {"-s", take}).toLongLong(), framesBefore);
    const WavSizes sizes = wavSizes(take);
    EXPECT_EQ(sizes.dataStart + sizes.data, sizes.length);
    EXPECT_NEAR(soxStat(take, "Maximum amplitude"), 0.0625, 0.002);
}

}  // namespace
}  // namespace quellor::test
