#pragma once
// The main window's sources column: a stack of banners at its top over the source grid. Each banner
// shows and hides itself; the stack takes room only while one of them shows, and anything with
// something to tell the user about the sources may add its banner under the others.
//
// Threads: main thread only.
#include <QWidget>

namespace quellor {

class BannerStackWidget;

class SourcesColumn : public QWidget {
    Q_OBJECT
public:
    // `content` (taken over) fills the column under the banners.
    explicit SourcesColumn(QWidget* content, QWidget* parent = nullptr);

    // Takes `banner` over and places it under the banners already there.
    void addBanner(QWidget* banner);
    QWidget* bannerStack() const;
    QWidget* content() const { return content_; }

private:
    BannerStackWidget* stack_;
    QWidget* content_;
};

}  // namespace quellor
