#pragma once
// The LCD at the top of a console strip: the level in % or dB (StripReadout's text) and the fader's
// MIDI badge. A click runs onClick (the strip switches every readout's unit); a right click opens
// the fade menu.
//
// Threads: main thread only.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/console/MIDIStatusBadge.h"
#include "ui/console/StripLook.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class MIDIBadgeLabel;
class ThemeController;

class StripReadoutWidget : public QWidget {
    Q_OBJECT
public:
    StripReadoutWidget(ThemeController& themes, QWidget* parent);

    void set(const QString& text, const StripLook& look, std::optional<MIDIStatusBadge> badge);
    const QString& text() const { return text_; }

    std::function<void()> onClick;
    std::function<MenuModel()> fadeMenu;

protected:
    void resizeEvent(QResizeEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent*) override;

private:
    void relayout();

    ThemeController& themes_;
    MIDIBadgeLabel* badge_;
    QString text_;
    StripLook look_;
};

}  // namespace quellor
