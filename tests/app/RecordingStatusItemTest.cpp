// The recording status item's elapsed time and stop command.
#include <gtest/gtest.h>

#include <QMenu>

#include "app/RecordingStatusItem.h"

using namespace quellor;

TEST(RecordingStatusItem, ElapsedTitle) {
    struct Case {
        qint64 frames;
        double rate;
        const char* title;
    };
    const Case cases[] = {
        {0, 48000, "Recording — 00:00"},
        {59 * 48000, 48000, "Recording — 00:59"},
        {60 * 48000 - 1, 48000, "Recording — 00:59"},  // truncated, not rounded
        {60 * 48000, 48000, "Recording — 01:00"},
        {3725LL * 44100, 44100, "Recording — 62:05"},   // minutes do not wrap at 60
        {90, 0, "Recording — 01:30"},                   // a rate below 1 counts as 1
    };
    for (const auto& c : cases) EXPECT_EQ(RecordingStatusItem::elapsedTitle(c.frames, c.rate), QString::fromUtf8(c.title));
}

TEST(RecordingStatusItem, StopWithoutAnEngineDoesNothing) {
    RecordingStatusItem item;
    item.stopRecording();  // no engine was ever set
    QMenu menu;
    menu.addAction("Stop");
    EXPECT_EQ(menu.actions().size(), 1);
}
