#pragma once
// The settings panel: a fixed 560 by 640 window with a row of tabs (General, Devices, Audio, iOS)
// and "Done" at the top, and the selected tab's page below in a scroll view. Every control on the
// pages acts at once; there is no apply step.
//
// The pages come from their owners through setPage(); until a page is given its tab shows an empty
// placeholder. Each presentation starts on General. "Done" and Escape ask the presenter to close the
// panel through closeRequested; the presenter owns the panel and hides it.
//
// Threads: main thread only.
#include <QDialog>
#include <array>

#include "ui/settings/SettingsTab.h"

class QButtonGroup;
class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace quellor {

class ThemeController;

class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SettingsWindow(ThemeController& themes, QWidget* parent = nullptr);

    // Shows `page` (taken over) as the content of `tab`; the page it replaces is deleted.
    void setPage(SettingsTab tab, QWidget* page);
    QWidget* page(SettingsTab tab) const;

    SettingsTab currentTab() const { return current_; }
    void selectTab(SettingsTab tab);
    QPushButton* tabButton(SettingsTab tab) const;
    // Selects General and opens the panel.
    void present();

signals:
    // "Done" or Escape.
    void closeRequested();

protected:
    void reject() override;
    void paintEvent(QPaintEvent*) override;

private:
    void applyTheme();

    ThemeController& themes_;
    SettingsTab current_ = SettingsTab::General;
    QButtonGroup* tabs_;
    QStackedWidget* stack_;
    std::array<QScrollArea*, kAllSettingsTabs.size()> scrolls_{};
};

}  // namespace quellor
