#pragma once
// The banners at the top of the sources column, one under the other, padded only while one of them
// shows. A banner showing or hiding tells the stack at once (its show and hide events pass the
// stack's filter), and so does one that goes away.
//
// Threads: main thread only.
#include <QWidget>

class QVBoxLayout;

namespace quellor {

class BannerStackWidget : public QWidget {
    Q_OBJECT
public:
    explicit BannerStackWidget(QWidget* parent);

    // Takes `banner` over and places it under the banners already there.
    void add(QWidget* banner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void settle();

    QVBoxLayout* layout_;
};

}  // namespace quellor
