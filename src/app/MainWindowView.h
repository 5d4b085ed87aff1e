#pragma once
// The content of the main window: the sources column (hideable) with its split handle and hair line
// on the left, the console column on the right, both painted in the theme's colours; and the
// window's two sheets (settings, the setup naming prompt), opened by the application's requests.
// The console column shows the content it is given under its top bar; until the panels exist, the
// sources column is an empty panel.
//
// Threads: main thread only.
#include <QDialog>
#include <QPointer>
#include <QScrollArea>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/AppNotifier.h"
#include "app/MainWindowLayout.h"
#include "base/UserDefaults.h"
#include "ui/style/ThemeController.h"

namespace quellor {

class AppActions;
class GeneralSettingsSection;
class PromptSheet;
class SessionManager;
class SplitHandle;
class ThemeSwitch;

// A rectangle filled with one palette colour of the theme in force.
class PalettePanel : public QWidget {
    Q_OBJECT
public:
    PalettePanel(ThemeController& themes, QColor Palette::*role, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
    QColor Palette::*role_;
};

class MainWindowView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kLeftWidthKey = "leftColumnWidth";
    static constexpr const char* kSidebarHiddenKey = "sidebarHidden";
    static constexpr int kTopBarHeight = 44;

    // `actions`: the application's general actions for the settings sheet (none: the sheet only
    // closes).
    MainWindowView(SessionManager& sessions, UserDefaults& defaults, ThemeController& themes, AppNotifier& notifier,
                   AppActions* actions = nullptr, QWidget* parent = nullptr);

    // The file panels of the setup commands: a chosen file, or nothing when cancelled.
    std::optional<QString> openSetupPanel();
    std::optional<QString> exportSetupPanel(const QString& suggestedName);

    // Places `content` (taken over) in the console column under its top bar.
    void setConsoleContent(QWidget* content);
    QWidget* consoleContent() const { return consoleContent_; }
    // Places `content` (taken over) in the sources column, scrolling when it is taller.
    void setSourcesContent(QWidget* content);
    QWidget* sourcesContent() const { return sourcesContent_; }

    const SheetState& sheets() const { return sheets_; }
    PromptSheet* promptSheet() const { return prompt_; }
    QDialog* settingsSheet() const { return settings_; }
    double sourcesWidth() const;

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    void relayout();
    void applySheets();
    void themeChanged();
    double storedLeftWidth() const;

    SessionManager& sessions_;
    UserDefaults& defaults_;
    ThemeController& themes_;
    SheetState sheets_;
    std::optional<SetupPrompt> shownPrompt_;

    PalettePanel* sources_;
    SplitHandle* handle_;
    PalettePanel* hairline_;
    QWidget* console_;
    QWidget* consoleContent_ = nullptr;
    QScrollArea* sourcesScroll_ = nullptr;
    QPointer<QWidget> sourcesContent_;
    PalettePanel* topBar_;
    PalettePanel* topBarHairline_;
    ThemeSwitch* themeSwitch_;
    PromptSheet* prompt_;
    GeneralSettingsSection* general_ = nullptr;
    QDialog* settings_;
};

}  // namespace quellor
