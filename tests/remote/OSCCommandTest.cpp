#include <gtest/gtest.h>

#include "remote/OSCCommand.h"

using namespace quellor;

TEST(OSCCommand, ParsesTheVocabularyExactly) {
    struct Case {
        const char* address;
        std::optional<OSCCommand> command;
    };
    const Case cases[] = {
        {"/quellor/rec", OSCCommand::record()},
        {"/quellor/panic", OSCCommand::panic()},
        {"/quellor/main/up", OSCCommand::mainUp()},
        {"/quellor/main/down", OSCCommand::mainDown()},
        {"/quellor/main/mute", OSCCommand::mainMute()},
        {"/quellor/phones/up", OSCCommand::phonesUp()},
        {"/quellor/phones/down", OSCCommand::phonesDown()},
        {"/quellor/lock", OSCCommand::lock()},
        {"/quellor/strip/3/fader", OSCCommand::stripFader(3)},
        {"/quellor/strip/1/mute", OSCCommand::stripMute(1)},
        {"/quellor/strip/016/cue", OSCCommand::stripCue(16)},
        {"/quellor/strip/16/solo", OSCCommand::stripSolo(16)},
        {"/quellor/scene/1", OSCCommand::scene(1)},
        {"/quellor/scene/9999", OSCCommand::scene(9999)},
        {"/quellor/strip/0/mute", std::nullopt},
        {"/quellor/strip/17/mute", std::nullopt},
        {"/quellor/strip/+3/mute", std::nullopt},
        {"/quellor/strip/00016/cue", std::nullopt},
        {"/quellor/strip/3/pan", std::nullopt},
        {"/quellor/strip/3/fader/", std::nullopt},
        {"/quellor/scene/0", std::nullopt},
        {"/quellor/scene/10000", std::nullopt},
        {"/quellor/scene/", std::nullopt},
        {"/quellor/record", std::nullopt},
        {"/quellor/Panic", std::nullopt},
        {"/quellor/panic/", std::nullopt},
        {"/Quellor/panic", std::nullopt},
        {"/quellor/main//up", std::nullopt},
        {"/quellor", std::nullopt},
        {"/quellor/", std::nullopt},
        {"/quellor/12", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(OSCCommand::parse(QString::fromUtf8(c.address)), c.command) << c.address;
}

TEST(OSCCommand, StripIndexTakesOneToFourDigits) {
    EXPECT_EQ(OSCCommand::stripIndex("007"), 7);
    EXPECT_EQ(OSCCommand::stripIndex("9999"), 9999);
    for (const char* bad : {"", "12345", "-1", "+1", " 1", "1a", "٣"})
        EXPECT_EQ(OSCCommand::stripIndex(QString::fromUtf8(bad)), std::nullopt) << bad;
}

TEST(OSCCommand, StripResolvesToItsSlot) {
    QStringList slots16;
    for (int i = 1; i <= 16; ++i) slots16 << QStringLiteral("app.%1").arg(i);
    slots16[2].clear();
    EXPECT_EQ(OSCCommand::slotRouteID(1, slots16, 8), "app.1");
    EXPECT_EQ(OSCCommand::slotRouteID(9, slots16, 8), std::nullopt) << "beyond an 8-strip console";
    EXPECT_EQ(OSCCommand::slotRouteID(9, slots16, 16), "app.9");
    EXPECT_EQ(OSCCommand::slotRouteID(9, slots16, 12), std::nullopt) << "any other count means 8";
    EXPECT_EQ(OSCCommand::slotRouteID(3, slots16, 16), std::nullopt) << "empty slot";
    EXPECT_EQ(OSCCommand::slotRouteID(0, slots16, 16), std::nullopt);
    EXPECT_EQ(OSCCommand::slotRouteID(5, slots16.mid(0, 4), 8), std::nullopt) << "fewer slots than strips";
}
