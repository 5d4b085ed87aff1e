#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "audio/IOBufferFrames.h"

namespace quellor::test {
namespace {

class IOBufferFramesTest : public QuellorTest {};

TEST_F(IOBufferFramesTest, StoredValueAndLabel) {
    EXPECT_EQ(storedIOBufferFrames(defaults()), 0u) << "absent";
    struct Case { QVariant stored; std::uint32_t frames; const char* label; };
    for (const auto& c : {Case{qint64(0), 0, "Automatic"}, Case{qint64(-64), 0, "Automatic"},
                          Case{qint64(256), 256, "256 frames"}, Case{qint64(4294967295), 4294967295u, "4294967295 frames"},
                          Case{qint64(4294967296), 0, "Automatic"}, Case{QString("256"), 0, "Automatic"}}) {
        defaults().setValue("ioBufferFrames", c.stored);
        EXPECT_EQ(storedIOBufferFrames(defaults()), c.frames) << c.stored.toString().toStdString();
        EXPECT_EQ(ioBufferFramesLabel(storedIOBufferFrames(defaults())), c.label);
    }
}

}  // namespace
}  // namespace quellor::test
