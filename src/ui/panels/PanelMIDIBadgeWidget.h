#pragma once
// "• Learn MIDI..." in bold orange while learning, "CC 7" in the accent colour on a faint rounded
// chip while mapped; hidden, taking no space, otherwise.
//
// Threads: main thread only.

#include <QWidget>

#include "ui/console/MIDIStatusBadge.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class PanelMIDIBadgeWidget : public QWidget {
    Q_OBJECT
public:
    explicit PanelMIDIBadgeWidget(QWidget* parent = nullptr);
    void setBadge(const MIDIStatusBadge& badge, ThemeMode theme);
    QString text() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QFont font() const;

    MIDIStatusBadge badge_;
    ThemeMode theme_ = ThemeMode::Booth;
};

}  // namespace quellor
