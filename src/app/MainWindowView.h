#pragma once
// The content of the main window: the sources column (hideable) with its split handle and hair line
// on the left, the console column on the right, both painted in the theme's colours; and the
// window's two sheets (settings, the setup naming prompt), opened by the application's requests.
// The console column shows the top bar and the content it is given, one under the other; the
// sources column the content it is given (an empty panel until then).
//
// Threads: main thread only.
#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/AppNotifier.h"
#include "app/MainWindowLayout.h"
#include "app/SheetState.h"
#include "base/Scheduler.h"
#include "base/UserDefaults.h"
#include "ui/style/ThemeController.h"

namespace quellor {

class AppActions;
class GeneralSettingsSection;
class NoticeBanners;
class PalettePanel;
class UserNotices;
class PromptSheet;
class SessionManager;
class SettingsWindow;
class SplitHandle;

class MainWindowView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kLeftWidthKey = "leftColumnWidth";
    static constexpr const char* kSidebarHiddenKey = "sidebarHidden";
    static constexpr int kTopBarHeight = ShellMetrics::MainWindow::kTopBarHeight;  // and a hair line under it

    // `actions`: the application's general actions for the settings sheet (none: the sheet only
    // closes).
    MainWindowView(SessionManager& sessions, UserDefaults& defaults, ThemeController& themes, AppNotifier& notifier,
                   AppActions* actions = nullptr, QWidget* parent = nullptr);

    // The file panels of the setup commands: a chosen file, or nothing when cancelled.
    std::optional<QString> openSetupPanel();
    std::optional<QString> exportSetupPanel(const QString& suggestedName);

    // Places `topBar` (kTopBarHeight high with its hair line under it) and `content` under it in the
    // console column; the view takes both over.
    void setConsoleContent(QWidget* topBar, QWidget* content);
    // Places `content` (taken over) in the sources column, filling it.
    void setSourcesContent(QWidget* content);
    QWidget* sourcesContent() const { return sourcesContent_; }
    // Shows what `notices` has to tell the user at the top of the sources column, or of the console
    // column while the sources column is hidden, the content moving down to make room.
    void setNotices(UserNotices& notices);
    NoticeBanners* noticeBanners() const { return notices_; }

    const SheetState& sheets() const { return sheets_; }
    PromptSheet* promptSheet() const { return prompt_; }
    QDialog* settingsSheet() const;
    // The settings panel, to which the application gives the pages that need more than this view
    // holds.
    SettingsWindow* settingsWindow() const { return settings_; }
    double sourcesWidth() const;

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    void relayout();
    void slideSidebar();
    // Deletes `current`, then makes `content` (taken over) the content of `container`.
    void replaceContent(QWidget*& current, QWidget* container, QWidget* content);
    void applySheets();
    void themeChanged();
    double storedLeftWidth() const;

    SessionManager& sessions_;
    UserDefaults& defaults_;
    ThemeController& themes_;
    SheetState sheets_;
    // How far the sources column stands in (1) or out (0); between the two while it slides.
    double sidebarShown_ = 1;
    TaskSlot slide_;
    Liveness alive_;
    std::optional<SetupPrompt> shownPrompt_;

    PalettePanel* sources_;
    SplitHandle* handle_;
    PalettePanel* hairline_;
    QWidget* console_;
    QWidget* consoleContent_ = nullptr;
    QWidget* topBar_ = nullptr;
    QWidget* sourcesContent_ = nullptr;
    NoticeBanners* notices_ = nullptr;
    PromptSheet* prompt_;
    GeneralSettingsSection* general_ = nullptr;
    SettingsWindow* settings_;
};

}  // namespace quellor
