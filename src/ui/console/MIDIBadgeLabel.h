#pragma once
// The MIDI badge of a control as a widget: paints the text, weight and colour MIDIStatusBadge
// decides ("LEARN", "CC7"), and hides itself, taking no space, while the badge shows nothing.
//
// Threads: main thread only.

#include <QWidget>

#include "ui/console/MIDIStatusBadge.h"

namespace quellor {

class ThemeController;

class MIDIBadgeLabel : public QWidget {
    Q_OBJECT
public:
    MIDIBadgeLabel(ThemeController& themes, bool onDark, QWidget* parent = nullptr);

    void setBadge(const MIDIStatusBadge& badge);
    const MIDIStatusBadge& badge() const { return badge_; }
    QString text() const { return badge_.text(); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QFont font() const;

    ThemeController& themes_;
    bool onDark_;
    MIDIStatusBadge badge_;
};

}  // namespace quellor
