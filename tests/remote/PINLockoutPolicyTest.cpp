#include <gtest/gtest.h>

#include "remote/AuthenticatedAddress.h"
#include "remote/PINLockoutPolicy.h"

using namespace quellor;
using Kind = PINLockoutPolicy::FailureOutcome::Kind;

TEST(PINLockoutPolicy, BackoffDoublesToTenMinutesAndResetsAfterQuietTime) {
    PINLockoutPolicy policy;
    double now = 1000;
    const double expected[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 600, 600, 600};
    for (int i = 0; i < int(std::size(expected)); ++i) {
        ASSERT_TRUE(policy.isAllowed("10.0.0.1", now)) << i;
        auto outcome = policy.recordFailure("10.0.0.1", QString::number(i), now);
        ASSERT_EQ(outcome.kind, Kind::Backoff);
        EXPECT_EQ(outcome.seconds, expected[i]) << "failure " << i + 1;
        EXPECT_FALSE(policy.isAllowed("10.0.0.1", now + expected[i] - 0.001));
        now += expected[i];
    }
    // Exactly 900 s after the last counted failure the count still stands; later it starts over.
    EXPECT_EQ(policy.recordFailure("10.0.0.1", "a", now - 600 + 900).seconds, 600);
    now = now - 600 + 900;
    EXPECT_EQ(policy.recordFailure("10.0.0.1", "b", now + 900.5).seconds, 1);
}

TEST(PINLockoutPolicy, RepeatedCodeNeitherEscalatesNorExtends) {
    PINLockoutPolicy policy;
    EXPECT_EQ(policy.recordFailure("h", "111111", 0).kind, Kind::Backoff);
    EXPECT_EQ(policy.recordFailure("h", "111111", 0.5).kind, Kind::RepeatedCandidate);
    EXPECT_EQ(policy.source("h")->failures, 1);
    EXPECT_TRUE(policy.isAllowed("h", 1.0));
}

TEST(PINLockoutPolicy, SuccessForgetsTheRecordAndResetForgivesAll) {
    PINLockoutPolicy policy;
    policy.recordFailure("h", "1", 0);
    policy.recordSuccess("h");
    EXPECT_FALSE(policy.source("h"));
    EXPECT_TRUE(policy.isAllowed("h", 0));

    policy.recordFailure("h", "2", 10);
    policy.recordFailure("other", "2", 10);
    EXPECT_FALSE(policy.isAllowed("h", 10));
    policy.reset();
    EXPECT_TRUE(policy.isAllowed("h", 10));
    EXPECT_TRUE(policy.isAllowed("other", 10));
    EXPECT_EQ(policy.sourceCount(), 0);
}

TEST(PINLockoutPolicy, ThirtyBadCodesInAMinutePauseUnknownSendersOnly) {
    PINLockoutPolicy policy;
    policy.recordSuccess("friend");
    // Bad codes from the known sender never count towards the pause.
    for (int i = 0; i < 40; ++i) policy.recordFailure("friend", QString::number(i), 0);

    // 29 within the window, spread so that the oldest falls out before the 30th would count.
    policy.recordFailure("early", "x", 0);
    for (int i = 1; i < 29; ++i) ASSERT_EQ(policy.recordFailure(QStringLiteral("u%1").arg(i), "x", 30).kind, Kind::Backoff);
    EXPECT_EQ(policy.recordFailure("late", "x", 60.5).kind, Kind::Backoff) << "the first failure left the window";

    auto outcome = policy.recordFailure("last", "x", 61);
    ASSERT_EQ(outcome.kind, Kind::GlobalPause);
    EXPECT_EQ(outcome.seconds, 60);
    EXPECT_FALSE(policy.isAllowed("stranger", 61));
    EXPECT_FALSE(policy.isAllowed("stranger", 120.9));
    EXPECT_TRUE(policy.isAllowed("stranger", 121));
    EXPECT_TRUE(policy.isAllowed("friend", 61 + 601)) << "authenticated senders are never paused globally";
    EXPECT_FALSE(policy.isAllowed("friend", 70)) << "but keep their own backoff";
}

TEST(PINLockoutPolicy, RecordTableIsCapped) {
    PINLockoutPolicy policy;
    for (int i = 0; i < 600; ++i) policy.recordFailure(QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256), "x", i * 100.0 / 600);
    EXPECT_EQ(policy.sourceCount(), PINLockoutPolicy::kMaxSources);
    EXPECT_FALSE(policy.source("10.0.0.0")) << "the oldest went first";
    EXPECT_TRUE(policy.source("10.0.2.87"));
    // Records expire 900 s after their last failure.
    policy.recordFailure("fresh", "x", 100 + 901);
    EXPECT_EQ(policy.sourceCount(), 1);
}

TEST(AuthenticatedAddress, CommandsNeedThePasswordValuesThePIN) {
    const QString pin = "123456", password = "654321";
    using R = std::optional<AuthenticatedAddress>;
    struct Case {
        const char* address;
        bool pinRequired;
        R result;
    };
    const Case cases[] = {
        {"/a/654321/quellor/lock", true, AuthenticatedAddress{"/quellor/lock", false}},
        {"/a/123456/quellor/lock", true, AuthenticatedAddress{"123456", true}},
        {"/a/123456/volume/x", true, AuthenticatedAddress{"/volume/x", false}},
        {"/a/654321/volume/x", true, AuthenticatedAddress{"654321", true}},
        {"/a//volume/x", true, AuthenticatedAddress{"", true}},
        {"/a/123456", true, std::nullopt},
        {"/volume/x", true, std::nullopt},
        {"/quellor/panic", true, std::nullopt},
        {"/quellor/panic", false, AuthenticatedAddress{"/quellor/panic", false}},
        {"/volume/x", false, std::nullopt},
        {"/a/654321/quellor/panic", false, AuthenticatedAddress{"/quellor/panic", false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitAuthenticatedAddress(c.address, pin, password, c.pinRequired), c.result) << c.address;

    // Before the codes are set every code is wrong, even an empty one.
    EXPECT_EQ(splitAuthenticatedAddress("/a//volume/x", "", "", true), (R{AuthenticatedAddress{"", true}}));
}
