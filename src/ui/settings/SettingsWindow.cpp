#include "ui/settings/SettingsWindow.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/settings/SegmentedControl.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/QtPalette.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

// The page as the scroll view holds it: padded on every side, full width, leading edge.
QWidget* paddedPage(QWidget* page) {
    auto* holder = new QWidget;
    holder->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(holder);
    constexpr int padding = SettingsMetrics::Window::kPagePadding;
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->addWidget(page);
    return holder;
}

}  // namespace

SettingsWindow::SettingsWindow(ThemeController& themes, QWidget* parent) : QDialog(parent), themes_(themes) {
    setObjectName(QStringLiteral("settings-sheet"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(SettingsMetrics::Window::kWidth, SettingsMetrics::Window::kHeight);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* top = new QHBoxLayout;
    constexpr int padding = SettingsMetrics::Window::kTopBarPadding;
    top->setContentsMargins(padding, padding, padding, padding);
    auto* segments = new SegmentedControl(themes, this);
    segments->setObjectName(QStringLiteral("settings-tabs"));
    segments->setMaximumWidth(SettingsMetrics::Window::kTabBarMaxWidth);
    for (SettingsTab tab : kAllSettingsTabs)
        segments->addSegment(tabLabel(tab), QStringLiteral("settings-tab-") + tabLabel(tab).toLower());
    tabs_ = segments->group();
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("settings-close"));
    done->setAutoDefault(false);
    top->addWidget(segments);
    top->addStretch(1);
    top->addWidget(done);
    column->addLayout(top);
    column->addWidget(makeDivider(themes, this));

    stack_ = new QStackedWidget(this);
    for (SettingsTab tab : kAllSettingsTabs) {
        auto* scroll = new QScrollArea(stack_);
        scroll->setObjectName(QStringLiteral("settings-scroll-") + tabLabel(tab).toLower());
        scroll->setFrameShape(QFrame::NoFrame);
        // Tab goes from control to control (the scroll view follows the focus), not to the view.
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidgetResizable(true);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->viewport()->setAutoFillBackground(false);
        scrolls_[std::size_t(tabIndex(tab))] = scroll;
        stack_->addWidget(scroll);
        auto* placeholder = new QWidget;
        placeholder->setObjectName(QStringLiteral("settings-placeholder-") + tabLabel(tab).toLower());
        setPage(tab, placeholder);
    }
    column->addWidget(stack_, 1);

    connect(tabs_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id >= 0 && id < int(kAllSettingsTabs.size())) selectTab(kAllSettingsTabs[std::size_t(id)]);
    });
    connect(done, &QPushButton::clicked, this, &SettingsWindow::closeRequested);
    connect(&themes_, &ThemeController::themeChanged, this, &SettingsWindow::applyTheme);
    applyTheme();
    selectTab(SettingsTab::General);
}

void SettingsWindow::setPage(SettingsTab tab, QWidget* page) {
    QScrollArea* scroll = scrolls_[std::size_t(tabIndex(tab))];
    delete scroll->takeWidget();
    scroll->setWidget(paddedPage(page));
}

QWidget* SettingsWindow::page(SettingsTab tab) const {
    QWidget* holder = scrolls_[std::size_t(tabIndex(tab))]->widget();
    if (!holder || !holder->layout() || !holder->layout()->itemAt(0)) return nullptr;
    return holder->layout()->itemAt(0)->widget();
}

QPushButton* SettingsWindow::tabButton(SettingsTab tab) const {
    return static_cast<QPushButton*>(tabs_->button(tabIndex(tab)));
}

void SettingsWindow::selectTab(SettingsTab tab) {
    current_ = tab;
    tabButton(tab)->setChecked(true);
    stack_->setCurrentIndex(tabIndex(tab));
}

void SettingsWindow::present() {
    selectTab(SettingsTab::General);
    open();
}

void SettingsWindow::reject() { emit closeRequested(); }

void SettingsWindow::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), themes_.palette().void_); }

void SettingsWindow::applyTheme() {
    // The panel's own colours: the theme's background and its brand colour as the accent.
    QPalette p = qtPalette(themes_.current());
    p.setColor(QPalette::Window, themes_.palette().void_);
    p.setColor(QPalette::Highlight, themes_.palette().brand);
    setPalette(p);
    update();
}

}  // namespace quellor
