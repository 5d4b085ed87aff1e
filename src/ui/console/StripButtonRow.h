#pragma once
// The CUE, SOLO and MUTE buttons of a console strip as widgets. Each button paints the face
// StripButtons decides (18 points high, radius 4, lit in its own colour or `elevated`), shows the
// face's help as its tool tip and runs the face's action on a click, nothing else: it lights up
// when the strip hands it the rebuilt face.
//
// The row lays the buttons out across its width: 3 points in from each end and 3 apart, CUE at
// most 22 points wide, SOLO and MUTE sharing what is left; the buttons are centred in its height.
//
// Threads: main thread only.

#include <QAbstractButton>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "ui/console/StripButtons.h"

namespace quellor {

class ThemeController;

class StripButtonWidget : public QAbstractButton {
    Q_OBJECT
public:
    StripButtonWidget(StripButton::Role role, ThemeController& themes, QWidget* parent = nullptr);

    void setFace(StripButton face);
    const StripButton& face() const { return face_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
    StripButton face_;
};

class StripButtonRow : public QWidget {
    Q_OBJECT
public:
    StripButtonRow(ThemeController& themes, QWidget* parent = nullptr);

    // The buttons the strip's model offers, in the order CUE, SOLO, MUTE.
    void setButtons(const std::vector<StripButton>& faces);
    StripButtonWidget* button(StripButton::Role role) const { return buttons_[std::size_t(role)]; }

    // Where each shown button goes in a row of `size`, in the order of `faces`.
    static std::vector<QRect> layout(const std::vector<StripButton>& faces, QSize size);

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void relayout();

    std::array<StripButtonWidget*, 3> buttons_{};
    std::vector<StripButton> faces_;
};

}  // namespace quellor
