// Which audio side the program starts on.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "TestEnvironment.h"
#include "app/AudioWorld.h"
#include "platform/PipeWireHardware.h"

namespace quellor::test {
namespace {

class AudioWorldTest : public QuellorTest {
protected:
    Logger log{QStringLiteral("QuellorApp")};
    int connections = 0;
    // A connector that counts its calls and finds no server.
    AudioWorld::PipeWireConnector noServer = [this] {
        ++connections;
        return std::unique_ptr<PipeWireHardware>();
    };
};

TEST_F(AudioWorldTest, AWorldFileWinsWithoutAskingForAServer) {
    QTemporaryDir dir;
    const QString path = dir.filePath("world.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(SimulatedWorld::builtIn().toJson());
    file.close();
    auto world = AudioWorld::open(path, log, noServer);
    ASSERT_TRUE(world);
    EXPECT_EQ(world->kind(), AudioWorld::Kind::simulatedFile);
    EXPECT_EQ(connections, 0);

    EXPECT_FALSE(AudioWorld::open(dir.filePath("missing.json"), log, noServer));
    EXPECT_TRUE(logs.containsText("Cannot use the simulated world in QUELLOR_WORLD: "));
    EXPECT_EQ(connections, 0);
}

TEST_F(AudioWorldTest, WithoutAServerTheBuiltInWorldRunsAndTheLogSaysWhy) {
    auto world = AudioWorld::open({}, log, noServer);
    ASSERT_TRUE(world);
    EXPECT_EQ(world->kind(), AudioWorld::Kind::simulatedBuiltIn);
    EXPECT_EQ(connections, 1);
    EXPECT_EQ(logs.count("Audio: the built-in simulated world, since no PipeWire server answered and "
                         "QUELLOR_WORLD names no world file"),
              1);
    world->populate();
    AudioHardware::install(&world->hardware());
    std::uint32_t size = 0;
    EXPECT_EQ(world->hardware().propertyDataSize(hal::kSystemObject, {hal::kDevices}, size), hal::kStatusOK);
    EXPECT_GT(size, 0u);
    world->stop();
    AudioHardware::install(nullptr);
}

TEST_F(AudioWorldTest, AServerThatAnswersIsTheWorld) {
    auto world = AudioWorld::open({}, log, [] { return std::make_unique<PipeWireHardware>(); });
    ASSERT_TRUE(world);
    EXPECT_EQ(world->kind(), AudioWorld::Kind::pipeWire);
    EXPECT_TRUE(logs.containsText("Audio: the PipeWire server"));
    // Taps are made there; one without a name is refused before anything reaches the server.
    AudioObjectID tap = 0;
    EXPECT_EQ(world->hardware().createProcessTap(TapDescription{}, tap), hal::kStatusIllegalOperation);
}

}  // namespace
}  // namespace quellor::test
