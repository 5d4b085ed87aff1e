#pragma once
// The startup screen's window: paints the model and layout of StartupScreen.h in the theme's
// colours, fades and grows its content in once, and forwards clicks and keys as activations.
// StartupScreenController owns the window and runs what is activated.
//
// Keyboard: Tab and Shift+Tab (or the arrow keys) move the focus over the buttons, the header of
// the recent list and its rows; Return, Enter and Space activate the focused one (at first the
// primary button, "New Setup…"). Escape, and a close asked for by the window manager, ask the
// controller to go in with the current setup.
//
// Threads: main thread only.
#include <QUuid>
#include <QWidget>
#include <optional>

#include "app/StartupScreen.h"
#include "base/Scheduler.h"

namespace quellor {

class ThemeController;

class StartupScreenView : public QWidget {
    Q_OBJECT
public:
    explicit StartupScreenView(ThemeController& themes, QWidget* parent = nullptr);

    // Shows `model`; the widget takes the layout's size.
    void setModel(startup::Model model);
    const startup::Model& model() const { return model_; }
    const startup::Layout& layout() const { return layout_; }
    // The element that has the keyboard focus, and whether its ring shows (after a move by key).
    std::optional<startup::Item> focusedItem() const;
    bool showsFocusRing() const { return focusVisible_; }

    // Fades and grows the content in, once, on the scheduler's clock.
    void startEntrance();
    startup::EntranceFrame entrance() const;

signals:
    void activated(startup::Element element, int row);
    // Escape, or a close asked for by the window manager.
    void closeRequested();

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent*) override;

private:
    int wordmarkWidth() const;
    void paintContent(QPainter& painter);
    void setHoveredRow(std::optional<int> row);
    void moveFocus(int step);

    ThemeController& themes_;
    startup::Model model_;
    startup::Layout layout_;
    std::optional<startup::Item> pressed_;
    QUuid pressedSetup_;
    std::optional<int> hoveredRow_;
    // The focused element, kept across rebuilds by element and setup.
    startup::Element focusElement_ = startup::Element::NewSetup;
    QUuid focusSetup_;
    bool focusVisible_ = false;
    std::optional<double> entranceStart_;
    TaskSlot entranceTicks_;
    Liveness alive_;
};

}  // namespace quellor
