#include "TestEnvironment.h"
#include "engine/MeterSource.h"

namespace quellor {
namespace {

class MeterSourceTest : public test::QuellorTest {};

TEST_F(MeterSourceTest, ReadsPreOnlyFromTheExactRawValue) {
    EXPECT_EQ(MeterSources::read(defaults()), MeterSource::post);
    for (const auto& [raw, expected] : std::vector<std::pair<QString, MeterSource>>{
             {"pre", MeterSource::pre}, {"post", MeterSource::post}, {"PRE", MeterSource::post}, {"", MeterSource::post}}) {
        defaults().setString("meterSource", raw);
        EXPECT_EQ(MeterSources::read(defaults()), expected) << raw.toStdString();
    }
    defaults().setInteger("meterSource", 1);
    EXPECT_EQ(MeterSources::read(defaults()), MeterSource::post);
    EXPECT_EQ(MeterSources::label(MeterSources::toggled(MeterSource::post)), "PRE");
    EXPECT_EQ(MeterSources::rawValue(MeterSources::toggled(MeterSource::pre)), "post");
}

}  // namespace
}  // namespace quellor
