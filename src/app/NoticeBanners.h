#pragma once
// The notices of UserNotices as banners, one under the other, each in the warning yellow with "OK"
// to dismiss it. Hidden while there is nothing to tell. The main window places it at the top of the
// sources column (or of the console column while the sources column is hidden).
//
// Threads: main thread only.
#include <QWidget>

#include "app/UserNotices.h"

namespace quellor {

class ThemeController;

class NoticeBanners : public QWidget {
    Q_OBJECT
public:
    NoticeBanners(UserNotices& notices, ThemeController& themes, QWidget* parent = nullptr);

    // The height the banners need at `width` (0 when there is nothing to show).
    int heightFor(int width) const;

signals:
    // The height the banners need changed: the owner lays them out again.
    void heightChanged();

private:
    void rebuild();

    UserNotices& notices_;
    ThemeController& themes_;
};

}  // namespace quellor
