#pragma once
// A symbol drawn at `pointSize` in the middle of a frame `frameWidth` wide; its colour is set by the
// owner (palette colours change with the theme).
//
// Threads: main thread only.

#include <QColor>
#include <QString>
#include <QWidget>

namespace quellor {

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

}  // namespace quellor
