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
// outline icon otherwise. Where Tabler has no glyph of its own, the nearest stands in: its speaker has
// at most two waves, so the loudest two steps share one icon.
constexpr SymbolEntry kSymbols[] = {
    // Levels and mute
    {"speaker.fill", "outline/volume-4"},
    {"speaker.wave.1.fill", "outline/volume-2"},
    {"speaker.wave.2.fill", "outline/volume"},
    {"speaker.wave.3.fill", "outline/volume"},
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
    {"ellipsis.circle", "outline/dots-circle-horizontal"},
    {"gearshape", "outline/settings"},
    {"sidebar.left", "outline/layout-sidebar"},
    {"plus", "outline/plus"},
    {"minus", "outline/minus"},
    {"folder", "outline/folder"},
};

const QHash<QString, QString>& resourcePaths() {
    static const QHash<QString, QString> paths = [] {
        QHash<QString, QString> h;
        h.reserve(int(std::size(kSymbols)));
        for (const SymbolEntry& e : kSymbols)
            h.insert(QString::fromLatin1(e.name), QStringLiteral(":/symbols/%1.svg").arg(QLatin1String(e.icon)));
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
    QSvgRenderer renderer(path);
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
