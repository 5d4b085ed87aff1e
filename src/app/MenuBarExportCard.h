#pragma once
// The 52 x 22 recording card for a status bar: a record dot and an outline that turns red while
// recording, and once a take is ready, a 12-bar waveform of it; the ready file can be dragged out.
// RecordingTray draws it as its tray icon, fed through its three fields; a tray icon is no drag
// source, so its drag serves only where the view itself is shown.
//
// Threads: main thread only.
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/UserDefaults.h"

namespace quellor {

// The card's geometry in its own 52 x 22 space, origin at the top left (the card is drawn from a
// bottom-left layout, flipped here once).
namespace card {
inline constexpr double kWidth = 52;
inline constexpr double kHeight = 22;
inline constexpr double kDragThreshold = 3;
// Where the card sits in a larger view: centred on whole pixels, halves rounded away from zero.
QPointF offset(QSizeF bounds);
// One bar per envelope value (values clamped to 0...1; at least 1.6 high).
std::vector<QRectF> bars(const std::vector<double>& envelope);

struct Colours {
    QColor ink, alertRed, amber, dotRed;
};
Colours colours(bool dark);

// A press that may become a file drag: it starts once the pointer has moved more than 3 pixels,
// never while recording or with no ready file, and only once per press.
class Press {
public:
    void down(QPointF at) { downPoint_ = at; }
    // True when this move starts the drag.
    bool moved(QPointF to, bool isRecording, bool hasReadyFile);
    void up() { downPoint_.reset(); }
    bool pending() const { return downPoint_.has_value(); }

private:
    std::optional<QPointF> downPoint_;
};
}  // namespace card

class MenuBarCardView : public QWidget {
    Q_OBJECT
public:
    explicit MenuBarCardView(QWidget* parent = nullptr);

    std::optional<QString> readyFile;  // the finished recording offered for dragging
    bool isRecording = false;
    std::vector<std::uint8_t> peaks;   // waveform peaks of the ready recording

    QSize sizeHint() const override { return {int(card::kWidth), int(card::kHeight)}; }
    // Paints the card centred in a view of `size`, in the given colours.
    void drawCard(QPainter& painter, QSizeF size, const card::Colours& colours) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    card::Press press_;
};

class MenuBarExportCard {
public:
    MenuBarExportCard();
    ~MenuBarExportCard();
    MenuBarCardView& view() { return *view_; }

private:
    std::unique_ptr<MenuBarCardView> view_;
};

// Writes the preferred menu-bar positions of the program's status items once; later launches keep
// whatever order the user arranged.
void seedStatusItemPositions(UserDefaults& defaults);

}  // namespace quellor
