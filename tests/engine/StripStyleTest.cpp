#include "RecordPrinting.h"
#include "TestEnvironment.h"
#include "engine/StripStyle.h"

namespace quellor {

void PrintTo(const StripStyle& v, std::ostream* os) { test::printAsJson(v, os); }

namespace {

TEST(StripStyle, WritesOnlyPresentMembersAndReadsNullAsAbsent) {
    struct Case {
        const char* json;
        std::optional<StripStyle> expected;
        const char* rewritten;  // how the decoded style is written back
    };
    const Case cases[] = {
        {R"({})", StripStyle{}, R"({})"},
        {R"({"name":"Kick","color":9,"group":"Drums"})", StripStyle{"Kick", 9, "Drums"},
         R"({"color":9,"group":"Drums","name":"Kick"})"},
        {R"({"name":null,"color":-3,"group":null,"tint":"red"})", StripStyle{std::nullopt, -3, std::nullopt},
         R"({"color":-3})"},
        {R"({"color":"red"})", std::nullopt, nullptr},
        {R"({"color":1.5})", std::nullopt, nullptr},
        {R"({"name":7})", std::nullopt, nullptr},
    };
    for (const auto& c : cases) {
        auto style = json::decode<StripStyle>(c.json);
        EXPECT_EQ(style, c.expected) << c.json;
        if (style && c.rewritten) {
            EXPECT_EQ(json::encode(*style), QByteArray(c.rewritten));
        }
    }
}

}  // namespace
}  // namespace quellor
