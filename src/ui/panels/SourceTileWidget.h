#pragma once
// One tile of the source grid: the source's picture (its application icon, else its symbol) over its
// name, on a rounded card whose outline turns to the accent while the source is on a strip, with the
// strip's number in a badge. A silent source is drawn at half opacity. The tile decides nothing: a
// click, a drag and the context menu go to its owner.
//
// It is a button, so that Space and the accessibility press action click it like the pointer does; a
// press that moves further than the drag distance becomes a drag and no click.
//
// Threads: main thread only.

#include <QAbstractButton>
#include <QIcon>
#include <functional>
#include <optional>

#include "ui/panels/SourceTile.h"

namespace quellor {

class ThemeController;

class SourceTileWidget : public QAbstractButton {
    Q_OBJECT
public:
    explicit SourceTileWidget(ThemeController& themes, QWidget* parent = nullptr);

    void setTile(const SourceTile& tile, std::optional<int> faderNumber);
    const SourceTile& tile() const { return tile_; }
    std::optional<int> faderNumber() const { return faderNumber_; }
    // The plain text a drag of the tile carries.
    QString dragText() const;
    // The tile's height: padding, picture, spacing and one line of its name.
    static int tileHeight();

    // Each is run last in its event handler: the owner may rebuild the grid from it.
    std::function<void()> onClick;  // also the accessibility press action
    std::function<void(const QString& text)> onDrag;
    std::function<void(QPoint globalPos)> onContextMenu;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ThemeController& themes_;
    SourceTile tile_;
    QIcon icon_;  // of the desktop's icon theme; null: the tile shows its symbol
    std::optional<int> faderNumber_;
    std::optional<QPoint> pressAt_;
};

}  // namespace quellor
