#pragma once
// Small pieces the panel widgets share: a symbol in a fixed frame, text in a palette colour, the
// MIDI badge as the panels draw it, rounded fills and the context menu that a panel opens.
//
// Threads: main thread only.

#include <QColor>
#include <QLabel>
#include <QWidget>
#include <functional>

#include "ui/console/MIDIStatusBadge.h"
#include "ui/style/MenuModel.h"
#include "ui/style/ThemeMode.h"

class QPainter;

namespace quellor {

// A symbol drawn at `pointSize` in the middle of a frame `frameWidth` wide; its colour is set by the
// owner (palette colours change with the theme).
class SymbolView : public QWidget {
    Q_OBJECT
public:
    SymbolView(QString symbol, int pointSize, int frameWidth, QWidget* parent = nullptr);
    void setSymbol(const QString& symbol);
    void setColor(const QColor& color);
    const QString& symbol() const { return symbol_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString symbol_;
    int pointSize_;
    int frameWidth_;
    QColor color_;
};

// A view that only paints: `paint` draws it into its own rectangle, antialiased.
class PaintedView : public QWidget {
    Q_OBJECT
public:
    using Paint = std::function<void(QPainter&, const QRectF&)>;
    PaintedView(const QString& objectName, Paint paint, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Paint paint_;
};

// One line of text in the system font (sizes in points).
QLabel* panelLabel(const QString& objectName, int pointSize, int weight, QWidget* parent);
void setTextColor(QWidget& widget, const QColor& color);

// "• Learn MIDI..." in bold orange while learning, "CC 7" in the accent colour on a faint rounded
// chip while mapped; hidden, taking no space, otherwise.
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

// A rounded rectangle of `radius` filled with `color`, the shape of every card and panel fill.
void fillRounded(QPainter& painter, const QRectF& rect, double radius, const QColor& color);

// Opens `model` as a context menu at `globalPos`; an empty model opens nothing.
void openPanelMenu(const MenuModel& model, QWidget* over, QPoint globalPos);

}  // namespace quellor
