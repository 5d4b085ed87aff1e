// The system and monospaced designs resolve to their installed families at the sizes asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

#include "ui/style/Fonts.h"

using namespace quellor;

namespace {

bool familiesInstalled() {
    const QStringList families = QFontDatabase::families();
    return families.contains(kSystemFontFamily) && families.contains(kMonospacedFontFamily);
}

}  // namespace

TEST(Fonts, DesignsResolveToTheirFamiliesAtPixelSizeAndWeight) {
    ASSERT_TRUE(familiesInstalled()) << "cannot run: Inter or JetBrains Mono is not installed (bash scripts/deps.sh installs them)";
    struct Case {
        QFont font;
        QString family;
        int pixelSize;
        QFont::Weight weight;
    };
    const Case cases[] = {
        {systemFont(13), kSystemFontFamily, 13, QFont::Normal},
        {systemFont(10, QFont::DemiBold), kSystemFontFamily, 10, QFont::DemiBold},
        {systemFont(34, QFont::Black), kSystemFontFamily, 34, QFont::Black},
        {monoFont(10, QFont::Bold), kMonospacedFontFamily, 10, QFont::Bold},
        {monoFont(12), kMonospacedFontFamily, 12, QFont::Normal},
    };
    for (const Case& c : cases) {
        const QFontInfo info(c.font);
        SCOPED_TRACE(qPrintable(c.family + " " + QString::number(c.pixelSize)));
        EXPECT_EQ(info.family(), c.family);
        EXPECT_EQ(info.pixelSize(), c.pixelSize);
        EXPECT_EQ(info.weight(), c.weight);
    }
    EXPECT_TRUE(QFontInfo(monoFont(11)).fixedPitch());
    EXPECT_FALSE(QFontInfo(systemFont(11)).fixedPitch());
}

TEST(Fonts, ApplicationFontIsTheSystemFont) {
    ASSERT_TRUE(familiesInstalled()) << "cannot run: Inter or JetBrains Mono is not installed (bash scripts/deps.sh installs them)";
    const QFont previous = QApplication::font();
    installApplicationFont();
    const QFontInfo info(QApplication::font());
    EXPECT_EQ(info.family(), kSystemFontFamily);
    EXPECT_EQ(info.pixelSize(), kDefaultFontPixelSize);
    QApplication::setFont(previous);
}
