#include <QSignalSpy>

#include "TestEnvironment.h"
#include "remote/OSCControlPassword.h"
#include "remote/PairingPIN.h"

using namespace quellor;

class StoredCodeTest : public test::QuellorTest {};

TEST_F(StoredCodeTest, KeepsAValidStoredCodeAndReplacesAnInvalidOne) {
    defaults().setString("companionPairingPIN", "012345");
    EXPECT_EQ(PairingPIN(defaults()).pin(), "012345") << "leading zero kept";

    const QVariant invalid[] = {QString("12345"), QString("1234567"), QString("12a456"), QString("١٢٣٤٥٦"),
                                QString("12 456"), QVariant(qint64(123456))};
    for (const QVariant& stored : invalid) {
        defaults().setValue("oscControlPassword", stored);
        OSCControlPassword password(defaults());
        EXPECT_TRUE(StoredCode::isValid(password.password())) << stored.toString().toStdString();
        EXPECT_NE(password.password(), stored.toString());
        EXPECT_EQ(defaults().stringValue("oscControlPassword"), password.password()) << "written back";
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
