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

// The symbol painted in black on a transparent square of `side` pixels.
QImage painted(const QString& name, int side) {
    QImage image = transparentImage(side);
    {
        QPainter p(&image);
        paintSymbol(p, QRectF(0, 0, side, side), name, Qt::black);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool inked(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) >= 128; }

// Separate marks: groups of inked pixels that touch (diagonals included).
int marks(const QImage& image) {
    const int w = image.width(), h = image.height();
    std::vector<bool> seen(std::size_t(w * h), false);
    int count = 0;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            if (seen[std::size_t(y0 * w + x0)] || !inked(image, x0, y0)) continue;
            ++count;
            std::vector<QPoint> stack{{x0, y0}};
            seen[std::size_t(y0 * w + x0)] = true;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int x = p.x() + dx, y = p.y() + dy;
                        if (x < 0 || y < 0 || x >= w || y >= h || seen[std::size_t(y * w + x)] || !inked(image, x, y)) continue;
                        seen[std::size_t(y * w + x)] = true;
                        stack.push_back({x, y});
                    }
            }
        }
    return count;
}

// The rightmost column holding ink.
int rightEdge(const QImage& image) {
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (inked(image, x, y)) return x;
    return -1;
}

}  // namespace

TEST(SymbolIcons, EveryNameOfTheTableHasAnEmbeddedIcon) {
    const QStringList names = symbolNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size()) << "a name stands twice";
    for (const QString& name : names) {
        EXPECT_TRUE(hasSymbol(name)) << qPrintable(name);
        const QString path = symbolResourcePath(name);
        if (path.startsWith(":/drawn/")) continue;  // drawn here; painted below
        ASSERT_TRUE(path.startsWith(":/symbols/")) << qPrintable(name);
        QSvgRenderer svg(path);
        EXPECT_TRUE(svg.isValid()) << qPrintable(name) << " " << qPrintable(path);
    }
    EXPECT_TRUE(QFile::exists(":/symbols/LICENSE"));
}

// Every symbol at the smallest size the windows paint symbols (11 pixels, the slider icons) still
// leaves solid marks, and the symbols most at risk keep the marks that make them what they are: the
// "more" menu's three dots at its 12 pixels, and one more wave for each louder step of the speaker.
TEST(SymbolIcons, EverySymbolReadsAtTheSmallestSizeItIsPainted) {
    constexpr int kSmallest = 11;
    for (const QString& name : symbolNames()) {
        // Coverage in whole pixels: a one-pixel stroke between two pixel rows shows as two
        // half-covered rows, which still read as a line.
        const QImage image = painted(name, kSmallest);
        double ink = 0;
        for (int y = 0; y < kSmallest; ++y)
            for (int x = 0; x < kSmallest; ++x) ink += qAlpha(image.pixel(x, y)) / 255.0;
        EXPECT_GE(ink, 5) << qPrintable(name) << " all but vanishes";
    }

    EXPECT_EQ(marks(painted("ellipsis.circle", 12)), 3) << "the more menu's dots";

    const QStringList louder = {"speaker.fill", "speaker.wave.1.fill", "speaker.wave.2.fill", "speaker.wave.3.fill"};
    for (qsizetype i = 1; i < louder.size(); ++i) {
        SCOPED_TRACE(qPrintable(louder[i]));
        const QImage quieter = painted(louder[i - 1], kSmallest), image = painted(louder[i], kSmallest);
        EXPECT_NE(image, quieter);
        EXPECT_GT(rightEdge(image), rightEdge(quieter)) << "a further wave";
    }
    EXPECT_NE(painted("speaker.slash.fill", kSmallest), painted("speaker.fill", kSmallest));
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
