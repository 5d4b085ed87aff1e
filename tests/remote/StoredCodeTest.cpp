#include <QSignalSpy>

#include "TestEnvironment.h"
#include "remote/OSCControlPassword.h"
#include "remote/PairingPIN.h"

using namespace quellor;

class StoredCodeTest : public test::QuellorTest {};

TEST_F(StoredCodeTest, KeepsAStoredCodeOfSixDigitsOfAnyKindAndLogsWhatItReplaces) {
    const QString kept = "\"oscControlPassword\" was stored as a number; kept as the same six digits, now stored as text";
    auto replaced = [](const char* kind) {
        return QString("\"oscControlPassword\" holds %1 that is not six digits; a new code replaces it").arg(kind);
    };
    struct Case {
        QVariant stored;
        QString code;  // empty: a new code
        QString log;   // empty: nothing logged
    };
    const Case cases[] = {
        {QString("012345"), "012345", ""},  // leading zero kept
        {QVariant(qint64(123456)), "123456", kept},
        {QVariant(qint64(999999)), "999999", kept},
        {QVariant(qint64(12345)), "", replaced("a number")},  // "012345" cannot be told from 12345
        {QVariant(qint64(1234567)), "", replaced("a number")},
        {QVariant(qint64(-123456)), "", replaced("a number")},
        {QVariant(123456.5), "", replaced("a number")},
        {QString("12345"), "", replaced("text")},
        {QString("1234567"), "", replaced("text")},
        {QString("12a456"), "", replaced("text")},
        {QString("١٢٣٤٥٦"), "", replaced("text")},
        {QString("12 456"), "", replaced("text")},
        {QVariant(true), "", replaced("a Boolean")},
        {QVariant(QVariantList{1, 2, 3, 4, 5, 6}), "", replaced("a list")},
    };
    for (const Case& c : cases) {
        const std::string label = c.stored.toString().toStdString() + " (" + c.stored.typeName() + ")";
        defaults().setValue("oscControlPassword", c.stored);
        const int before = c.log.isEmpty() ? 0 : logs.count(c.log);
        const int lines = int(logs.records("StoredCode").size());
        OSCControlPassword password(defaults());
        EXPECT_TRUE(StoredCode::isValid(password.password())) << label;
        if (!c.code.isEmpty()) {
            EXPECT_EQ(password.password(), c.code) << label;
        } else {
            EXPECT_NE(password.password(), c.stored.toString()) << label;
        }
        EXPECT_EQ(defaults().stringValue("oscControlPassword"), password.password()) << label << ": stored as text";
        if (c.log.isEmpty()) {
            EXPECT_EQ(int(logs.records("StoredCode").size()), lines) << label;
        } else {
            EXPECT_EQ(logs.count(c.log), before + 1) << label;
        }
        EXPECT_FALSE(logs.containsText(password.password())) << label << ": the code never reaches the log";
    }
}

TEST_F(StoredCodeTest, FirstCodeIsStoredAndReadBackNextTime) {
    QString first = PairingPIN(defaults()).pin();
    EXPECT_TRUE(StoredCode::isValid(first));
    EXPECT_EQ(PairingPIN(defaults()).pin(), first);
    EXPECT_FALSE(defaults().contains("oscControlPassword")) << "each code has its own key";
}

TEST_F(StoredCodeTest, RegenerateStoresANewCodeAndNotifiesOnChange) {
    PairingPIN pin(defaults());
    QSignalSpy changed(&pin, &StoredCode::codeChanged);
    QString before = pin.pin();
    defaults().remove("companionPairingPIN");
    pin.regenerate();
    EXPECT_EQ(defaults().stringValue("companionPairingPIN"), pin.pin()) << "stored even if equal to the old";
    EXPECT_EQ(changed.count(), pin.pin() == before ? 0 : 1);
}

TEST(StoredCodeGenerate, SixDigitsEachEquallyLikely) {
    int counts[10] = {};
    for (int i = 0; i < 2000; ++i) {
        QString code = StoredCode::generate();
        ASSERT_TRUE(StoredCode::isValid(code)) << code.toStdString();
        for (QChar c : code) ++counts[c.unicode() - '0'];
    }
    // 12000 digits, 1200 expected each; a biased or stuck digit falls far outside this band.
    for (int d = 0; d < 10; ++d) EXPECT_TRUE(counts[d] > 1000 && counts[d] < 1400) << d << ": " << counts[d];
}
