#include "app/MenuBarExportCard.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "recording/LatestRecording.h"

namespace quellor {

namespace card {

QPointF offset(QSizeF bounds) {
    // std::round rounds halves away from zero.
    return {std::round((bounds.width() - kWidth) / 2), std::round((bounds.height() - kHeight) / 2)};
}

std::vector<QRectF> bars(const std::vector<double>& envelope) {
    // The waveform area (18, 2.5, 34, 17), from the bottom-left; bars are centred on its middle.
    const double areaX = 18, areaWidth = 34, areaHeight = 17, mid = 2.5 + areaHeight / 2;
    const double n = double(envelope.size());
    const double span = n * 2.3 - 0.7;
    const double x0 = areaX + (areaWidth - span) / 2;
    std::vector<QRectF> rects;
    rects.reserve(envelope.size());
    for (size_t i = 0; i < envelope.size(); ++i) {
        double v = std::clamp(envelope[i], 0.0, 1.0);
        double h = std::max(v * std::min(areaHeight, 11.0), 1.6);
        double bottom = mid - h / 2;
        rects.emplace_back(x0 + 2.3 * double(i), kHeight - bottom - h, 1.6, h);
    }
    return rects;
}

Colours colours(bool dark) {
    auto rgb = [](double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)); };
    const auto amber = dark ? LatestRecording::kAmber : LatestRecording::kAmberDeep;
    return Colours{dark ? QColor::fromRgbF(0.96f, 0.96f, 0.96f) : QColor::fromRgbF(0.08f, 0.08f, 0.08f),
                   dark ? rgb(0.95, 0.38, 0.34) : rgb(0.80, 0.18, 0.16), rgb(amber.red, amber.green, amber.blue),
                   rgb(0.93, 0.16, 0.14)};
}

bool Press::moved(QPointF to, bool isRecording, bool hasReadyFile) {
    if (isRecording || !hasReadyFile || !downPoint_) return false;
    if (std::hypot(to.x() - downPoint_->x(), to.y() - downPoint_->y()) <= kDragThreshold) return false;
    downPoint_.reset();
    return true;
}

}  // namespace card

namespace {
QColor withAlpha(QColor c, double alpha) {
    c.setAlphaF(float(alpha));
    return c;
}
bool darkAppearance() { return QApplication::palette().color(QPalette::Window).lightnessF() < 0.5; }
}  // namespace

MenuBarCardView::MenuBarCardView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("menu-bar-card"));
    resize(sizeHint());
}

void MenuBarCardView::drawCard(QPainter& painter, QSizeF size, const card::Colours& c) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(card::offset(size));
    // Coordinates below are the bottom-left layout's, flipped: y' = 22 - y - height.
    const QColor outline = isRecording ? withAlpha(c.alertRed, 0.95) : withAlpha(c.amber, readyFile ? 0.95 : 0.45);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(0.5, card::kHeight - 2.5 - 17, 51, 17), 2, 2);
    painter.setPen(QPen(withAlpha(c.ink, 0.95), 1));
    painter.setBrush(withAlpha(c.dotRed, isRecording ? 1.0 : 0.75));
    painter.drawEllipse(QRectF(6, card::kHeight - 7 - 8, 8, 8));
    painter.setPen(QPen(withAlpha(c.ink, 0.45), 0.8));
    painter.drawLine(QPointF(18.5, card::kHeight - 5), QPointF(18.5, card::kHeight - 17));
    if (!isRecording && readyFile) {
        QPainterPath path;
        for (const QRectF& bar : card::bars(LatestRecording::waveformEnvelope(peaks, 12))) path.addRoundedRect(bar, 0.352, 0.352);
        painter.fillPath(path, c.amber);
    }
    painter.restore();
}

void MenuBarCardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawCard(painter, size(), card::colours(darkAppearance()));
}

void MenuBarCardView::mousePressEvent(QMouseEvent* event) { press_.down(event->position()); }

void MenuBarCardView::mouseMoveEvent(QMouseEvent* event) {
    if (!press_.moved(event->position(), isRecording, readyFile.has_value())) return;
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(*readyFile)});
    QPixmap image(size() * devicePixelRatioF());
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        drawCard(painter, size(), card::colours(darkAppearance()));
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(image);
    drag->exec(Qt::CopyAction);
}

void MenuBarCardView::mouseReleaseEvent(QMouseEvent*) { press_.up(); }

MenuBarExportCard::MenuBarExportCard() : view_(std::make_unique<MenuBarCardView>()) {}
MenuBarExportCard::~MenuBarExportCard() = default;

void seedStatusItemPositions(UserDefaults& defaults) {
    if (defaults.boolOr(QStringLiteral("menuBarPriorityV3"), false)) return;
    defaults.setInteger(QStringLiteral("NSStatusItem Preferred Position QuellorMain"), 2);
    defaults.setInteger(QStringLiteral("NSStatusItem Preferred Position QuellorRecording"), 3);
    defaults.setInteger(QStringLiteral("NSStatusItem Preferred Position Item-0"), 4);
    defaults.setBool(QStringLiteral("menuBarPriorityV3"), true);
}

}  // namespace quellor
