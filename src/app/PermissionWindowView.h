#pragma once
// The permission window's content, painted in the theme's colours; PermissionWindow shows it and
// closes it. Return is the default action ("Open Privacy Settings"), as in a dialog.
//
// Threads: main thread only.
#include <QWidget>
#include <functional>

#include "app/ShellMetrics.h"

class QLabel;
class QPushButton;

namespace quellor {

class ThemeController;

// The window's content: headline, explanation, instruction and the two buttons, 420 wide.
class PermissionWindowView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = ShellMetrics::PermissionWindow::kWidth;

    PermissionWindowView(ThemeController& themes, std::function<void()> dismiss, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyTheme();

    ThemeController& themes_;
    QPushButton* open_;
    QLabel* headline_;
    QLabel* explanation_;
    QLabel* instruction_;
};

}  // namespace quellor
