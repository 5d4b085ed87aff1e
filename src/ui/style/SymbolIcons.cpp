#include "ui/style/SymbolIcons.h"

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QSvgRenderer>
#include <QtMath>
#include <algorithm>
#include <iterator>

#include "base/Logger.h"

namespace quellor {
namespace {

const Logger& log() {
    static const Logger logger(QStringLiteral("Style"));
    return logger;
}

struct SymbolEntry {
    const char* name;
    const char* icon;  // "outline/NAME" or "filled/NAME" of the Tabler set
};

// The one list of symbols: the build embeds exactly the icons named here (it reads this table), so
// an entry needs nothing else. Filled symbols take Tabler's filled icon where it has one, its
// outline icon otherwise. Where Tabler has no glyph of its own, the nearest stands in, or one drawn
// here ("drawn/NAME", below). Every icon must read at the smallest size it is painted (11 pixels in
// the sliders): Tabler's speaker has at most two waves, set so close that they run together there,
// so the speaker and its three volume steps are drawn here; its circled dots lose their dots at 12
// pixels, so the "more" menu takes its solid dots.
constexpr SymbolEntry kSymbols[] = {
    // Levels and mute
    {"speaker.fill", "drawn/speaker-wave-0"},
    {"speaker.wave.1.fill", "drawn/speaker-wave-1"},
    {"speaker.wave.2.fill", "drawn/speaker-wave-2"},
    {"speaker.wave.3.fill", "drawn/speaker-wave-3"},
    {"speaker.slash.fill", "outline/volume-3"},
    {"mic", "outline/microphone"},
    {"mic.fill", "filled/microphone"},
    {"mic.slash.fill", "outline/microphone-off"},
    {"headphones", "outline/headphones"},
    {"waveform", "outline/waveform"},
    {"waveform.slash", "outline/volume-off"},
    // Devices
    {"hifispeaker", "outline/device-speaker"},
    {"hifispeaker.fill", "filled/device-speaker"},
    {"hifispeaker.2", "outline/device-speaker"},
    {"airpods.gen3", "outline/device-airpods"},
    {"airpodspro", "outline/device-airpods"},
    {"airpodsmax", "outline/headphones"},
    {"airplay.audio", "outline/cast"},
    {"cable.connector", "outline/plug-connected"},
    {"iphone", "outline/device-mobile"},
    {"display", "outline/device-desktop"},
    {"laptopcomputer", "outline/device-laptop"},
    {"desktopcomputer", "outline/device-imac"},
    {"macmini", "outline/devices-pc"},
    {"macstudio", "outline/devices-pc"},
    {"macpro.gen3", "outline/devices-pc"},
    {"app", "outline/app-window"},
    // Controls, marks and states
    {"lock.fill", "filled/lock"},
    {"lock.open", "outline/lock-open"},
    {"chevron.right", "outline/chevron-right"},
    {"chevron.down", "outline/chevron-down"},
    {"checkmark", "outline/check"},
    {"checkmark.seal.fill", "filled/rosette-discount-check"},
    {"xmark.circle.fill", "filled/circle-x"},
    {"exclamationmark.triangle.fill", "filled/alert-triangle"},
    {"arrow.down.circle.fill", "filled/circle-arrow-down"},
    {"arrow.clockwise", "outline/rotate-clockwise"},
    {"arrow.turn.down.right", "outline/corner-down-right"},
    {"circle.fill", "filled/circle"},
    {"ellipsis.circle", "filled/dots"},
    {"gearshape", "outline/settings"},
    {"sidebar.left", "outline/layout-sidebar"},
    {"plus", "outline/plus"},
    {"minus", "outline/minus"},
    {"folder", "outline/folder"},
};

// Icons drawn for this program on Tabler's grid (24 units, strokes 2 wide with round ends): a
// speaker with no wave up to three waves whose crests stand about 4.5 units apart, two pixels at 11
// pixels, so that each wave keeps a gap to the next.
constexpr const char* kDrawnPrefix = ":/drawn/";
QByteArray drawnSpeaker(int waves) {
    static const char* const kWaves[] = {R"(<path d="M12 9.5a3.5 3.5 0 0 1 0 5"/>)",
                                         R"(<path d="M15.5 7.5a6.5 6.5 0 0 1 0 9"/>)",
                                         R"(<path d="M19 5a9.5 9.5 0 0 1 0 14"/>)"};
    QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" fill="none" stroke="black" )"
                     R"(stroke-width="2" stroke-linecap="round" stroke-linejoin="round">)"
                     R"(<path d="M5 15h-2a1 1 0 0 1 -1 -1v-4a1 1 0 0 1 1 -1h2l3 -4a.8 .8 0 0 1 1.5 .5v13)"
                     R"(a.8 .8 0 0 1 -1.5 .5l-3 -4"/>)";
    for (int i = 0; i < waves; ++i) svg += kWaves[i];
    return svg + "</svg>";
}
QByteArray drawnIcon(const QString& path) {
    if (path == QLatin1String(":/drawn/speaker-wave-0")) return drawnSpeaker(0);
    if (path == QLatin1String(":/drawn/speaker-wave-1")) return drawnSpeaker(1);
    if (path == QLatin1String(":/drawn/speaker-wave-2")) return drawnSpeaker(2);
    if (path == QLatin1String(":/drawn/speaker-wave-3")) return drawnSpeaker(3);
    return {};
}

const QHash<QString, QString>& resourcePaths() {
    static const QHash<QString, QString> paths = [] {
        QHash<QString, QString> h;
        h.reserve(int(std::size(kSymbols)));
        for (const SymbolEntry& e : kSymbols) {
            const QLatin1String icon(e.icon);
            h.insert(QString::fromLatin1(e.name),
                     icon.startsWith(QLatin1String("drawn/"))
                         ? QString::fromLatin1(kDrawnPrefix) + icon.mid(6)
                         : QStringLiteral(":/symbols/%1.svg").arg(icon));
        }
        return h;
    }();
    return paths;
}

// A view that asks for a missing symbol usually asks on every repaint: one line each is enough.
void reportOnce(const QString& text) {
    static QMutex mutex;
    static QSet<QString> reported;
    {
        QMutexLocker lock(&mutex);
        if (reported.contains(text)) return;
        reported.insert(text);
    }
    log().log(LogLevel::Error, text);
}

void reportUnknown(const QString& name) {
    reportOnce(QStringLiteral("No symbol is named %1").arg(name));
}

// The icon rendered as coverage into a square image of `side` device pixels, then every covered
// pixel given the colour: its alpha applies once to the whole icon, so strokes that cross do not
// show darker where they overlap.
QImage renderSymbol(const QString& name, const QString& path, const QColor& color, int side) {
    QSvgRenderer renderer;
    if (path.startsWith(QLatin1String(kDrawnPrefix))) renderer.load(drawnIcon(path));
    else
        renderer.load(path);
    if (!renderer.isValid()) {
        reportOnce(QStringLiteral("The icon of symbol %1 cannot be read").arg(name));
        return {};
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(0, 0, side, side));
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(image.rect(), color);
    return image;
}

}  // namespace

bool hasSymbol(const QString& name) {
    return resourcePaths().contains(name);
}

QString symbolResourcePath(const QString& name) {
    return resourcePaths().value(name);
}

QStringList symbolNames() {
    QStringList names;
    names.reserve(int(std::size(kSymbols)));
    for (const SymbolEntry& e : kSymbols) names.append(QString::fromLatin1(e.name));
    return names;
}

void paintSymbol(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color) {
    const QString path = symbolResourcePath(name);
    if (path.isEmpty()) {
        reportUnknown(name);
        return;
    }
    const qreal side = std::min(rect.width(), rect.height());
    if (!(side > 0) || !color.isValid() || color.alpha() == 0) return;
    const QRectF target(rect.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    // Rendered at the resolution the square has on the device, so that it stays sharp on a scaled
    // painter or a double-density screen.
    const QRectF onDevice = painter.deviceTransform().mapRect(target);
    const int pixels = std::max(1, qCeil(std::max(onDevice.width(), onDevice.height())));
    const QImage image = renderSymbol(name, path, color, pixels);
    if (image.isNull()) return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    painter.restore();
}

QIcon symbolIcon(const QString& name, const QColor& color, int pixelSize) {
    if (!hasSymbol(name)) {
        reportUnknown(name);
        return {};
    }
    QIcon icon;
    if (pixelSize <= 0) return icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(pixelSize * scale, pixelSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        paintSymbol(p, QRectF(0, 0, pixelSize, pixelSize), name, color);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace quellor
