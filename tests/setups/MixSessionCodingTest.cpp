#include <QJsonDocument>
#include <QJsonObject>

#include "SetupPrinting.h"
#include "TestEnvironment.h"
#include "setups/MixSessionStore.h"
#include "setups/StripPalette.h"

namespace quellor {
namespace {

// A setups file as the store writes it: members sorted at every level (map keys too), floats as
// their shortest text, upper-case UUIDs, dates as seconds since 2001, optionals only when present,
// two setups sharing one name.
const QByteArray kWrittenFile = R"({
    "currentID": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F",
    "sessions": [
        {
            "createdAt": 730987200.25,
            "id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F",
            "mainDeviceUID": "USB-1",
            "mainLevel": 0.1,
            "modifiedAt": 730987290.25,
            "name": "Live",
            "phonesLevel": 0.7,
            "slots": [
                "bus:main",
                "",
                "org.videolan.vlc"
            ],
            "styles": {
                "bus:main": {
                },
                "org.videolan.vlc": {
                    "color": 9,
                    "group": "Media",
                    "name": "Film"
                }
            },
            "volumes": {
                "com.spotify.client": {
                    "cueVolume": 1,
                    "isCued": false,
                    "isMuted": false,
                    "outputDeviceUIDs": [
                    ],
                    "volume": 1
                },
                "org.videolan.vlc": {
                    "cueVolume": 0.3,
                    "isCued": true,
                    "isMuted": false,
                    "outputDeviceUIDs": [
                        "USB-1",
                        "HDMI"
                    ],
                    "volume": 0.8
                }
            }
        },
        {
            "createdAt": -0.001,
            "id": "00000000-0000-0000-0000-000000000001",
            "modifiedAt": 0,
            "name": "Live",
            "slots": [
            ],
            "volumes": {
            }
        }
    ]
}
)";

TEST(MixSessionCoding, AWrittenSetupsFileReadsBackAndRewritesByteForByte) {
    auto file = json::decode<MixSessionFile>(kWrittenFile);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->sessions.size(), 2u);
    const MixSession& live = file->sessions[0];
    EXPECT_EQ(file->currentID, QUuid("{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}"));
    EXPECT_EQ(live.createdAt, QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0, 250), Qt::UTC));
    EXPECT_EQ(live.mainLevel, 0.1f);
    EXPECT_EQ(live.volumes.at("org.videolan.vlc"), (AppVolume{0.8f, false, {"USB-1", "HDMI"}, true, 0.3f}));
    EXPECT_EQ(live.styles->at("org.videolan.vlc"), (StripStyle{"Film", 9, "Media"}));
    EXPECT_EQ(live.styles->at("bus:main"), StripStyle{});
    EXPECT_EQ(file->sessions[1].createdAt, QDateTime(QDate(2000, 12, 31), QTime(23, 59, 59, 999), Qt::UTC));
    EXPECT_EQ(MixSessionStore::encode(*file), kWrittenFile);

    // One setup alone is written in the same form, at the root and without a wrapper.
    const QByteArray single = *MixSessionStore::encode(file->sessions[1]);
    EXPECT_EQ(json::decode<MixSession>(single), file->sessions[1]);
    EXPECT_TRUE(single.startsWith("{\n    \"createdAt\": -0.001,\n"));
}

TEST(MixSessionCoding, DecodeTable) {
    const QByteArray id = R"("id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f")";
    const QByteArray required = id + R"(,"name":"Mix","createdAt":1,"modifiedAt":2,"volumes":{},"slots":[])";
    struct Case {
        QByteArray setup;  // the only setup of a file with no "currentID"
        bool decodes;
        const char* what;
    };
    const Case cases[] = {
        {"{" + required + "}", true, "the required members alone"},
        {"{" + required + R"(,"mainDeviceUID":null,"mainLevel":null,"phonesLevel":null,"styles":null})", true,
         "optionals null"},
        {"{" + required + R"(,"tempo":120,"mainLevel":0.5})", true, "unknown member"},
        {"{" + required + R"(,"volumes":{"a":{"volume":0.5,"outputDeviceUID":"USB-1"}}})", true,
         "legacy per-application record inside"},
        {R"({"name":"Mix","createdAt":1,"modifiedAt":2,"volumes":{}})" "," + id + "}", false, "no slots"},
        {"{" + id + R"(,"name":"Mix","createdAt":1,"modifiedAt":2,"slots":[]})", false, "no volumes"},
        {"{" + id + R"(,"createdAt":1,"modifiedAt":2,"volumes":{},"slots":[]})", false, "no name"},
        {"{" + id + R"(,"name":"Mix","createdAt":1,"volumes":{},"slots":[]})", false, "no modifiedAt"},
        {"{" + required + R"(,"slots":null})", false, "null slots"},
        {R"({"id":"E621E1F8","name":"Mix","createdAt":1,"modifiedAt":2,"volumes":{},"slots":[]})", false,
         "short UUID"},
        {"{" + id + R"(,"name":"Mix","createdAt":"2024-03-01T12:00:00Z","modifiedAt":2,"volumes":{},"slots":[]})",
         false, "date as text"},
        {"{" + required + R"(,"mainLevel":"loud"})", false, "level as text"},
        {"{" + required + R"(,"slots":["bus:main",3]})", false, "a slot that is not text"},
        {"{" + required + R"(,"styles":{"bus:main":{"color":"red"}}})", false, "bad style inside"},
    };
    const QByteArray good = "{" + required + "}";
    for (const auto& c : cases) {
        // The bad setup is the second of two: it alone makes the whole file unreadable.
        auto file = json::decode<MixSessionFile>(R"({"sessions":[)" + good + "," + c.setup + "]}");
        EXPECT_EQ(file.has_value(), c.decodes) << c.what;
        if (!file) continue;
        const MixSession& s = file->sessions[1];
        EXPECT_FALSE(file->currentID) << c.what;
        EXPECT_FALSE(s.mainDeviceUID || s.phonesLevel || s.styles) << c.what;
        // Unknown members are not kept: the rewrite has only known ones.
        const QJsonObject rewritten = json::toJson(s).toObject();
        for (const QString& key : rewritten.keys())
            EXPECT_TRUE(QStringList({"id", "name", "createdAt", "modifiedAt", "volumes", "slots", "mainLevel"})
                            .contains(key))
                << c.what << " " << key.toStdString();
    }
}

TEST(MixSessionCoding, FileRootCases) {
    struct Case {
        QByteArray text;
        bool decodes;
        const char* what;
    };
    const Case cases[] = {
        {R"({"sessions":[]})", true, "no setups"},
        {R"({"currentID":"00000000-0000-0000-0000-000000000009","sessions":[]})", true, "current names no setup"},
        {R"({"currentID":null,"sessions":[]})", true, "null current"},
        {R"({"currentID":"","sessions":[]})", false, "empty current id"},
        {R"({"currentID":"00000000-0000-0000-0000-000000000009"})", false, "no sessions"},
        {R"({"sessions":{}})", false, "sessions not a list"},
        {R"([])", false, "not an object"},
        {R"({"sessions":[]} trailing)", false, "not JSON"},
    };
    for (const auto& c : cases) EXPECT_EQ(json::decode<MixSessionFile>(c.text).has_value(), c.decodes) << c.what;
}

TEST(MixSessionCoding, NonFiniteLevelIsNotEncodable) {
    MixSession s;
    s.mainLevel = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(MixSessionStore::encode(s));
    EXPECT_FALSE(MixSessionStore::encode(MixSessionFile{std::nullopt, {s}}));
}

TEST(StripPalette, EightHuesAroundTheCircleSelectedModuloEight) {
    const auto& colors = StripPalette::colors();
    for (int k = 0; k < StripPalette::kCount; ++k)
        EXPECT_EQ(colors[k], (StripColor{k / 8.0, 0.5, 0.88, 1.0})) << k;
    EXPECT_EQ(&StripPalette::color(9), &colors[1]);
    EXPECT_EQ(&StripPalette::color(16), &colors[0]);
    EXPECT_EQ(&StripPalette::color(-1), &colors[7]);
    EXPECT_EQ(&StripPalette::color(std::numeric_limits<int>::min()), &colors[0]);
    EXPECT_EQ(&StripPalette::color(std::numeric_limits<int>::max()), &colors[7]);
}

}  // namespace
}  // namespace quellor
