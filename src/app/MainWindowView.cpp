#include "app/MainWindowView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/GeneralSettingsWiring.h"
#include "app/NoticeBanners.h"
#include "app/PalettePanel.h"
#include "app/SetupFilePanels.h"
#include "app/SplitHandle.h"
#include "setups/SessionManager.h"
#include "ui/settings/GeneralSettingsSection.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/style/PromptSheet.h"

namespace quellor {

MainWindowView::MainWindowView(SessionManager& sessions, UserDefaults& defaults, ThemeController& themes,
                               AppNotifier& notifier, AppActions* actions, QWidget* parent)
    : QWidget(parent), sessions_(sessions), defaults_(defaults), themes_(themes) {
    setObjectName(QStringLiteral("main-window-view"));
    sources_ = new PalettePanel(themes, &Palette::panel, this);
    sources_->setObjectName(QStringLiteral("sources-column"));
    hairline_ = new PalettePanel(themes, &Palette::hair, this);
    hairline_->setObjectName(QStringLiteral("sources-hairline"));
    console_ = new QWidget(this);
    console_->setObjectName(QStringLiteral("console-column"));
    handle_ = new SplitHandle(
        SplitHandle::Axis::Vertical,
        {[this] { return storedLeftWidth(); }, [this](double w) { defaults_.setDouble(kLeftWidthKey, w); }},
        ShellMetrics::SourcesColumn::kMinimumWidth, ShellMetrics::SourcesColumn::kMaximumWidth, /*growsAway*/ false,
        /*visible*/ false, this);

    prompt_ = new PromptSheet(this);
    connect(prompt_, &QDialog::finished, this, [this] {
        // Closing the sheet (OK, Cancel, Escape) ends the request it showed.
        if (shownPrompt_ == sheets_.setupPrompt) sheets_.setupPrompt.reset();
        shownPrompt_.reset();
    });
    settings_ = new SettingsWindow(themes, this);
    if (actions) {
        general_ = makeGeneralSettingsSection(*actions, defaults_, themes_);
        settings_->setPage(SettingsTab::General, general_);
    }
    // "Done", Escape or the window's close button end the request that showed the panel.
    connect(settings_, &SettingsWindow::closeRequested, this, [this] {
        sheets_.showSettings = false;
        applySheets();
    });

    connect(&notifier, &AppNotifier::posted, this, [this](AppNotification n) {
        sheets_.handle(n);
        applySheets();
    });
    // The column follows the handle's drag at once: a relayout is cheap and the pointer must not lag.
    connect(&defaults_, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == QLatin1String(kLeftWidthKey)) relayout();
        if (key == QLatin1String(kSidebarHiddenKey)) slideSidebar();
    });
    sidebarShown_ = defaults_.boolOr(kSidebarHiddenKey, false) ? 0 : 1;
    connect(&themes_, &ThemeController::themeChanged, this, &MainWindowView::themeChanged);
    relayout();
}

double MainWindowView::storedLeftWidth() const {
    return defaults_.doubleOr(kLeftWidthKey, ShellMetrics::SourcesColumn::kDefaultWidth);
}

double MainWindowView::sourcesWidth() const { return sourcesColumnWidth(storedLeftWidth(), width()); }

void MainWindowView::resizeEvent(QResizeEvent*) { relayout(); }

void MainWindowView::slideSidebar() {
    // Whoever writes the key (the top bar's toggle, a restored setting), the column slides from
    // where it stands now to its new place.
    const double from = sidebarShown_;
    const double to = defaults_.boolOr(kSidebarHiddenKey, false) ? 0 : 1;
    if (from == to) return slide_.cancel();
    const double start = Scheduler::current().now();
    slide_.set(Scheduler::current().every(1.0 / 60, alive_.guard([this, from, to, start] {
        const double t = (Scheduler::current().now() - start) / kSidebarSlideSeconds;
        sidebarShown_ = from + (to - from) * easeInOut(t);
        if (t >= 1) {
            sidebarShown_ = to;
            slide_.cancel();
        }
        relayout();
    })));
}

void MainWindowView::setNotices(UserNotices& notices) {
    delete notices_;
    notices_ = new NoticeBanners(notices, themes_, this);
    connect(notices_, &NoticeBanners::heightChanged, this, &MainWindowView::relayout);
    relayout();
}

void MainWindowView::relayout() {
    const MainWindowFrames f = mainWindowFrames(size(), sourcesWidth(), sidebarShown_, [this](int width) {
        return notices_ ? notices_->heightFor(width) : 0;
    });
    sources_->setVisible(f.sourcesShown);
    handle_->setVisible(f.handleShown);
    hairline_->setVisible(f.sourcesShown);
    if (f.sourcesShown) {
        sources_->setGeometry(f.sources);
        if (sourcesContent_) sourcesContent_->setGeometry(f.sourcesContent);
        // The handle's grip reaches over both neighbours of its slot.
        handle_->setGeometry(handle_->gripGeometry(f.handleSlot, height()));
        hairline_->setGeometry(f.hairline);
        handle_->raise();
    }
    console_->setGeometry(f.console);
    if (topBar_) topBar_->setGeometry(f.topBar);
    if (consoleContent_) consoleContent_->setGeometry(f.consoleContent);
    if (notices_) {
        if (f.notices) notices_->setGeometry(*f.notices);
        notices_->raise();
    }
}

void MainWindowView::replaceContent(QWidget*& current, QWidget* container, QWidget* content) {
    delete current;
    current = content;
    if (content) {
        content->setParent(container);
        content->show();
    }
    relayout();
}

void MainWindowView::setConsoleContent(QWidget* topBar, QWidget* content) {
    replaceContent(topBar_, console_, topBar);
    replaceContent(consoleContent_, console_, content);
}

void MainWindowView::setSourcesContent(QWidget* content) { replaceContent(sourcesContent_, sources_, content); }

void MainWindowView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), themes_.palette().void_); }

void MainWindowView::themeChanged() {
    handle_->setBarColor(themes_.palette().hair);
    // Every view paints from the theme in force; the sheets stay as they are.
    const auto children = findChildren<QWidget*>();
    for (QWidget* w : children) w->update();
    update();
}

void MainWindowView::applySheets() {
    if (sheets_.showSettings && !settings_->isVisible()) {
        if (general_) general_->reload();
        settings_->present();
    }
    if (!sheets_.showSettings && settings_->isVisible()) settings_->hide();

    if (sheets_.setupPrompt != shownPrompt_) {
        if (!sheets_.setupPrompt) {
            shownPrompt_.reset();
            prompt_->hide();
            return;
        }
        const SetupPrompt which = *sheets_.setupPrompt;
        std::optional<QString> current;
        if (auto session = sessions_.currentSession()) current = session->name;
        PromptText text = promptText(which, current);
        shownPrompt_ = which;
        prompt_->present({text.title, text.initial, kSetupNamePlaceholder, [this, which](const QString& name) {
                              if (which == SetupPrompt::Rename) sessions_.renameSetup(name);
                              else sessions_.newSetup(name);
                          }});
    }
}

QDialog* MainWindowView::settingsSheet() const { return settings_; }

std::optional<QString> MainWindowView::openSetupPanel() { return openSetupFilePanel(window()); }

std::optional<QString> MainWindowView::exportSetupPanel(const QString& suggestedName) {
    return exportSetupFilePanel(window(), suggestedName);
}

}  // namespace quellor
