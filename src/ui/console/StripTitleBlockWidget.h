#pragma once
// The foot of a console strip, painting its StripTitleBlock: colour bar, name, group and kind tags,
// route line. It is the strip's drag handle (the drag carries the payload it is given as plain
// text) and the home of the rename / colour / group / fade menu.
//
// Threads: main thread only.

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui/console/StripLook.h"
#include "ui/console/StripTitleBlock.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class StripGroupTagWidget;
class StripRouteLineWidget;
class StripTextWidget;
class ThemeController;

class StripTitleBlockWidget : public QWidget {
    Q_OBJECT
public:
    StripTitleBlockWidget(ThemeController& themes, QWidget* parent);

    // `dragName`: the text of the drag's preview; `payload`: what a drag carries (none: no drag).
    void set(const StripTitleBlock& block, const StripLook& look, const QString& dragName,
             std::optional<QString> payload);

    // The height the block asks for: its content, at least the look's minimum.
    int preferredHeight() const;

    std::function<MenuModel()> contextMenu;
    std::function<MenuModel()> routeMenu;

protected:
    void resizeEvent(QResizeEvent*) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    int contentHeight() const;
    int headerTop() const;
    void relayout();
    void startDrag();

    ThemeController& themes_;
    StripTextWidget* name_;
    StripGroupTagWidget* group_;
    StripTextWidget* kind_;
    StripRouteLineWidget* route_;
    StripTitleBlock block_;
    StripLook look_;
    QString dragName_;
    std::optional<QString> payload_;
    std::optional<QPoint> pressAt_;
};

}  // namespace quellor
