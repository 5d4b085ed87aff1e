#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QTimeZone>

#include "base/Json.h"

namespace quellor {
namespace {

TEST(Json, FloatsAreWrittenAsTheirShortestText) {
    struct Case { float value; const char* text; };
    for (auto c : {Case{0.123f, "0.123"}, Case{1.0f, "1"}, Case{0.0f, "0"}, Case{-0.5f, "-0.5"},
                   Case{0.1f, "0.1"}, Case{1e-7f, "1e-07"}}) {
        EXPECT_EQ(json::floatText(c.value), c.text);
        QJsonObject o{{"v", json::floatAsJson(c.value)}};
        EXPECT_EQ(json::compact(o), QByteArray("{\"v\":") + json::floatText(c.value).toLatin1() + "}")
            << c.text;
        EXPECT_EQ(float(json::floatAsJson(c.value)), c.value);
    }
}

TEST(Json, DatesCountFromTheStartOf2001Utc) {
    EXPECT_EQ(json::toReferenceSeconds(QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC)), 0.0);
    EXPECT_EQ(json::toReferenceSeconds(QDateTime(QDate(2001, 1, 2), QTime(0, 0, 1), Qt::UTC)), 86401.0);
    EXPECT_EQ(json::fromReferenceSeconds(-86400.0), QDateTime(QDate(2000, 12, 31), QTime(0, 0), Qt::UTC));
    auto now = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(json::fromReferenceSeconds(json::toReferenceSeconds(now)), now);
}

TEST(Json, UuidsAreWrittenUpperCaseAndReadInEitherCase) {
    auto id = json::parseUuid("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(id);
    EXPECT_EQ(json::uuidText(*id), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(json::parseUuid("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), id);
    EXPECT_FALSE(json::parseUuid("{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}"));
    EXPECT_FALSE(json::parseUuid("not-a-uuid-at-all-but-36-characters!"));
}

}  // namespace
}  // namespace quellor
