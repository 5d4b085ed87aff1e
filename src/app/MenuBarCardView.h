#pragma once
// The 52 x 22 recording card for a status bar: a record dot and an outline that turns red while
// recording, and once a take is ready, a 12-bar waveform of it; the ready file can be dragged out.
// RecordingTray draws it as its tray icon, fed through its three fields; a tray icon is no drag
// source, so its drag serves only where the view itself is shown.
//
// Threads: main thread only.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/MenuBarCard.h"

namespace quellor {

class MenuBarCardView : public QWidget {
    Q_OBJECT
public:
    explicit MenuBarCardView(QWidget* parent = nullptr);

    std::optional<QString> readyFile;  // the finished recording offered for dragging
    bool isRecording = false;
    std::vector<std::uint8_t> peaks;   // waveform peaks of the ready recording

    QSize sizeHint() const override {
        return {int(ShellMetrics::MenuBarCard::kWidth), int(ShellMetrics::MenuBarCard::kHeight)};
    }
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

}  // namespace quellor
