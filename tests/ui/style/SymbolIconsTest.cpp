// The symbol table, its embedded icons, and how a symbol is painted.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include "base/Logger.h"
#include "ui/style/SymbolIcons.h"

using namespace quellor;

namespace {

QImage transparentImage(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

TEST(SymbolIcons, EveryNameOfTheTableHasAnEmbeddedIcon) {
    const QStringList names = symbolNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size()) << "a name stands twice";
    for (const QString& name : names) {
        EXPECT_TRUE(hasSymbol(name)) << qPrintable(name);
        const QString path = symbolResourcePath(name);
        ASSERT_TRUE(path.startsWith(":/symbols/")) << qPrintable(name);
        QSvgRenderer svg(path);
        EXPECT_TRUE(svg.isValid()) << qPrintable(name) << " " << qPrintable(path);
    }
    EXPECT_TRUE(QFile::exists(":/symbols/LICENSE"));
}

// Filled and outline icons, opaque and translucent colours, and a square placed inside a wider rect:
// covered pixels take the colour (its alpha at most, applied once), nothing lands outside the
// square.
TEST(SymbolIcons, PaintsOnlyTheRequestedColourInsideTheCentredSquare) {
    struct Case {
        const char* name;
        QColor color;
    };
    const Case cases[] = {
        {"circle.fill", QColor(0xF0, 0xC4, 0x6A)},
        {"checkmark", QColor(0x20, 0x80, 0xE0)},
        {"lock.fill", QColor(0, 0, 0, 153)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = transparentImage(48);
        {
            QPainter p(&image);
            paintSymbol(p, QRectF(4, 12, 40, 24), c.name, c.color);  // square (12,12)-(36,36)
        }
        image = image.convertToFormat(QImage::Format_ARGB32);
        int covered = 0, maxAlpha = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor px = image.pixelColor(x, y);
                if (px.alpha() == 0) continue;
                ASSERT_TRUE(x >= 12 && x < 36 && y >= 12 && y < 36) << "pixel outside at " << x << "," << y;
                maxAlpha = std::max(maxAlpha, px.alpha());
                if (px.alpha() < 128) continue;  // edge pixels lose colour precision to premultiplication
                ++covered;
                ASSERT_LE(std::abs(px.red() - c.color.red()), 2) << x << "," << y;
                ASSERT_LE(std::abs(px.green() - c.color.green()), 2) << x << "," << y;
                ASSERT_LE(std::abs(px.blue() - c.color.blue()), 2) << x << "," << y;
            }
        }
        EXPECT_GT(covered, 20);
        EXPECT_NEAR(maxAlpha, c.color.alpha(), 1);
    }
}

TEST(SymbolIcons, IconHasTheSymbolAtItsSize) {
    const QIcon icon = symbolIcon("mic.fill", QColor(Qt::red), 16);
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(image.size(), QSize(16, 16));
    int red = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) red += image.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_GT(red, 10);
}

TEST(SymbolIcons, UnknownNamePaintsNothingAndIsLoggedOnce) {
    LogCapture logs;
    EXPECT_FALSE(hasSymbol("speaker.wave.9.fill"));
    EXPECT_TRUE(symbolResourcePath("speaker.wave.9.fill").isEmpty());
    QImage image = transparentImage(24);
    {
        QPainter p(&image);
        paintSymbol(p, QRectF(0, 0, 24, 24), "speaker.wave.9.fill", Qt::white);
        paintSymbol(p, QRectF(0, 0, 24, 24), "speaker.wave.9.fill", Qt::white);
    }
    EXPECT_TRUE(symbolIcon("speaker.wave.9.fill", Qt::white, 16).isNull());
    EXPECT_EQ(image, transparentImage(24));
    EXPECT_EQ(logs.count("No symbol is named speaker.wave.9.fill"), 1);
}
