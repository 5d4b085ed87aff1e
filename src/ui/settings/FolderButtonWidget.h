#pragma once
// The MAIN recording card's button that opens the recordings folder ("recordings-folder"): a
// folder symbol centred in it, in the theme's secondary colour. The click is the card's to handle.
//
// Threads: main thread only. The theme controller must outlive the button.
#include <QAbstractButton>

namespace quellor {

class ThemeController;

class FolderButtonWidget : public QAbstractButton {
    Q_OBJECT
public:
    FolderButtonWidget(ThemeController& themes, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
};

}  // namespace quellor
