#include <gtest/gtest.h>

#include <vector>

#include "remote/AuthenticatedAddress.h"
#include "remote/PINLockoutPolicy.h"

using namespace quellor;
using Kind = PINLockoutPolicy::FailureOutcome::Kind;
constexpr AccessCode PIN = AccessCode::PIN;
constexpr AccessCode Password = AccessCode::Password;

TEST(PINLockoutPolicy, BackoffDoublesToTenMinutesAndResetsAfterQuietTime) {
    PINLockoutPolicy policy;
    double now = 1000;
    const double expected[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 600, 600, 600};
    for (int i = 0; i < int(std::size(expected)); ++i) {
        ASSERT_TRUE(policy.isAllowed("10.0.0.1", PIN, now)) << i;
        auto outcome = policy.recordFailure("10.0.0.1", PIN, QString::number(i), now);
        ASSERT_EQ(outcome.kind, Kind::Backoff);
        EXPECT_EQ(outcome.seconds, expected[i]) << "failure " << i + 1;
        EXPECT_FALSE(policy.isAllowed("10.0.0.1", PIN, now + expected[i] - 0.001));
        now += expected[i];
    }
    // Exactly 900 s after the last counted failure the count still stands; later it starts over.
    EXPECT_EQ(policy.recordFailure("10.0.0.1", PIN, "a", now - 600 + 900).seconds, 600);
    now = now - 600 + 900;
    EXPECT_EQ(policy.recordFailure("10.0.0.1", PIN, "b", now + 900.5).seconds, 1);
}

TEST(PINLockoutPolicy, RepeatedCodeNeitherEscalatesNorExtends) {
    PINLockoutPolicy policy;
    EXPECT_EQ(policy.recordFailure("h", PIN, "111111", 0).kind, Kind::Backoff);
    EXPECT_EQ(policy.recordFailure("h", PIN, "111111", 0.5).kind, Kind::RepeatedCandidate);
    EXPECT_EQ(policy.source("h")->failures, 1);
    EXPECT_TRUE(policy.isAllowed("h", PIN, 1.0));
}

TEST(PINLockoutPolicy, SuccessForgetsTheRecordAndResetForgivesAll) {
    PINLockoutPolicy policy;
    policy.recordFailure("h", PIN, "1", 0);
    policy.recordSuccess("h", PIN);
    EXPECT_FALSE(policy.source("h"));
    EXPECT_TRUE(policy.isAllowed("h", PIN, 0));

    policy.recordFailure("h", PIN, "2", 10);
    policy.recordFailure("other", PIN, "2", 10);
    EXPECT_FALSE(policy.isAllowed("h", PIN, 10));
    policy.reset();
    EXPECT_TRUE(policy.isAllowed("h", PIN, 10));
    EXPECT_TRUE(policy.isAllowed("other", PIN, 10));
    EXPECT_EQ(policy.sourceCount(), 0);
}

TEST(PINLockoutPolicy, ThirtyBadCodesInAMinutePauseEverySenderNotKnownForItsCode) {
    PINLockoutPolicy policy;
    policy.recordSuccess("companion", PIN);
    policy.recordSuccess("surface", Password);
    // Wrong tries of a code the sender is known for never count towards the pause.
    for (int i = 0; i < 40; ++i) policy.recordFailure("companion", PIN, QString::number(i), 0);

    // 29 within the window, spread so that the oldest falls out before the 30th would count.
    policy.recordFailure("early", PIN, "x", 0);
    for (int i = 1; i < 29; ++i) ASSERT_EQ(policy.recordFailure(QStringLiteral("u%1").arg(i), PIN, "x", 30).kind, Kind::Backoff);
    EXPECT_EQ(policy.recordFailure("late", Password, "x", 60.5).kind, Kind::Backoff) << "the first failure left the window";

    auto outcome = policy.recordFailure("last", PIN, "x", 61);
    ASSERT_EQ(outcome.kind, Kind::GlobalPause);
    EXPECT_EQ(outcome.seconds, 60);
    for (AccessCode code : {PIN, Password}) {
        EXPECT_FALSE(policy.isAllowed("stranger", code, 61));
        EXPECT_FALSE(policy.isAllowed("stranger", code, 120.9));
        EXPECT_TRUE(policy.isAllowed("stranger", code, 121));
    }
    EXPECT_TRUE(policy.isAllowed("surface", Password, 61)) << "known for the password: not paused";
    EXPECT_FALSE(policy.isAllowed("surface", PIN, 61)) << "but paused for the PIN it never presented";
    EXPECT_FALSE(policy.isAllowed("companion", PIN, 70)) << "a known sender keeps its own backoff";
    EXPECT_TRUE(policy.isAllowed("companion", PIN, 601));
}

TEST(PINLockoutPolicy, APINHolderGuessingThePasswordFromManyAddressesIsPaused) {
    PINLockoutPolicy policy;
    policy.recordSuccess("companion", PIN);
    std::vector<Kind> outcomes;  // of the wrong passwords that were looked at
    for (int i = 0; i < 300; ++i) {
        const QString source = QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256);
        const double now = i / 300.0;
        if (policy.isAllowed(source, PIN, now)) policy.recordSuccess(source, PIN);
        if (i % 10 == 0) policy.recordSuccess("companion", PIN);  // the companion keeps talking
        if (policy.isAllowed(source, Password, now))
            outcomes.push_back(policy.recordFailure(source, Password, QString::number(i), now).kind);
    }
    std::vector<Kind> expected(PINLockoutPolicy::kGlobalThreshold, Kind::Backoff);
    expected.back() = Kind::GlobalPause;
    EXPECT_EQ(outcomes, expected);
    EXPECT_FALSE(policy.isAllowed("10.9.9.9", Password, 1)) << "the right password from a new address waits";
    EXPECT_FALSE(policy.isAllowed("10.9.9.9", PIN, 1)) << "so does the PIN";
    EXPECT_FALSE(policy.isAllowed("companion", Password, 1));
    EXPECT_TRUE(policy.isAllowed("companion", PIN, 1)) << "the companion's values go on";
    EXPECT_TRUE(policy.isAllowed("10.9.9.9", Password, 61));
}

TEST(PINLockoutPolicy, KnownSendersAreCappedAndTheLongestSilentIsForgottenFirst) {
    PINLockoutPolicy policy;
    for (int i = 0; i < 100; ++i) {
        policy.recordSuccess(QStringLiteral("10.0.0.%1").arg(i), PIN);
        policy.recordSuccess("companion", PIN);  // keeps talking
    }
    EXPECT_EQ(policy.knownCount(), PINLockoutPolicy::kMaxKnown);
    for (int i = 0; i < PINLockoutPolicy::kGlobalThreshold; ++i) policy.recordFailure(QStringLiteral("u%1").arg(i), PIN, "x", 0);
    EXPECT_TRUE(policy.isAllowed("companion", PIN, 1));
    EXPECT_TRUE(policy.isAllowed("10.0.0.99", PIN, 1));
    EXPECT_TRUE(policy.isAllowed("10.0.0.37", PIN, 1));
    EXPECT_FALSE(policy.isAllowed("10.0.0.36", PIN, 1)) << "forgotten: paused with the strangers";
    EXPECT_FALSE(policy.isAllowed("10.0.0.0", PIN, 1));
}

TEST(PINLockoutPolicy, RecordTableIsCapped) {
    PINLockoutPolicy policy;
    for (int i = 0; i < 600; ++i) policy.recordFailure(QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256), PIN, "x", i * 100.0 / 600);
    EXPECT_EQ(policy.sourceCount(), PINLockoutPolicy::kMaxSources);
    EXPECT_FALSE(policy.source("10.0.0.0")) << "the oldest went first";
    EXPECT_TRUE(policy.source("10.0.2.87"));
    // Records expire 900 s after their last failure.
    policy.recordFailure("fresh", PIN, "x", 100 + 901);
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
        {"/a/654321/quellor/lock", true, AuthenticatedAddress{"/quellor/lock", false, Password}},
        {"/a/123456/quellor/lock", true, AuthenticatedAddress{"123456", true, Password}},
        {"/a/123456/volume/x", true, AuthenticatedAddress{"/volume/x", false, PIN}},
        {"/a/654321/volume/x", true, AuthenticatedAddress{"654321", true, PIN}},
        {"/a//volume/x", true, AuthenticatedAddress{"", true, PIN}},
        {"/a/123456", true, std::nullopt},
        {"/volume/x", true, std::nullopt},
        {"/quellor/panic", true, std::nullopt},
        {"/quellor/panic", false, AuthenticatedAddress{"/quellor/panic", false, Password}},
        {"/volume/x", false, std::nullopt},
        {"/a/654321/quellor/panic", false, AuthenticatedAddress{"/quellor/panic", false, Password}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitAuthenticatedAddress(c.address, pin, password, c.pinRequired), c.result) << c.address;

    // Before the codes are set every code is wrong, even an empty one.
    EXPECT_EQ(splitAuthenticatedAddress("/a//volume/x", "", "", true), (R{AuthenticatedAddress{"", true, PIN}}));
}
