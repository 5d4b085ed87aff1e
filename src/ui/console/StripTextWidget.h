#pragma once
// One line of a strip's text, leading-aligned and vertically centred, that may shrink to
// `minimumScale` of its size before it is cut with an ellipsis (the title block's name, kind tag and
// route line).
//
// Threads: main thread only.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace quellor {

class StripTextWidget : public QWidget {
    Q_OBJECT
public:
    StripTextWidget(const QString& objectName, QWidget* parent);

    void set(const QString& text, const QFont& font, const QColor& color, double minimumScale = 1);
    const QString& text() const { return text_; }
    double naturalWidth() const;
    int lineHeight() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString text_;
    QFont font_;
    QColor color_;
    double minimumScale_ = 1;
};

}  // namespace quellor
