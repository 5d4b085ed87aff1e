// The automatic colour of a name.
#include <gtest/gtest.h>

#include "ui/style/PaletteColor.h"

using namespace quellor;

TEST(PaletteColor, HashesUnicodeScalarsToOneOfSixHues) {
    struct Case {
        QString text;
        int index;
    };
    const Case cases[] = {
        {"", 5},                      // no hashing at all
        {"-", 0},                     // 177618
        {"abc", 3},                   // 193485963
        {QString(QChar(0xE9)), 2},    // é as one scalar: 177806
        {QStringLiteral("e\u0301"), 1},  // e + combining accent: two scalars, another colour
        {QString::fromUcs4(U"\U0001F3B5"), int(((5381u * 33u + 0x1F3B5u) & 0x7FFFFFFFu) % 6u)},  // one scalar, not two UTF-16 units
    };
    for (const auto& c : cases) EXPECT_EQ(paletteHueIndex(c.text), c.index) << qPrintable(c.text);
    QColor colour = paletteColor("abc");
    EXPECT_NEAR(colour.hsvHueF(), 0.33, 1e-4);
    EXPECT_NEAR(colour.hsvSaturationF(), 0.45, 1e-4);
    EXPECT_NEAR(colour.valueF(), 0.85, 1e-4);
    EXPECT_NEAR(paletteColor("").hsvHueF(), 0.45, 1e-4);
}

TEST(PaletteColor, LongTextsStayWithinThirtyOneBits) {
    // The same text always gives the same colour, however long; a 32-bit overflow would show as a
    // different index than the 31-bit reference below.
    QString text(5000, QChar(0xFFFF));
    quint64 h = 5381;
    for (int i = 0; i < text.size(); ++i) h = ((h * 33 + 0xFFFF) & 0xFFFFFFFFull) & 0x7FFFFFFFull;
    EXPECT_EQ(paletteHueIndex(text), int(h % 6));
    EXPECT_EQ(paletteColor(text), paletteColor(text));
}
