#pragma once
// Owns the one main window: created on the first show() and kept for the life of the process, so
// that closing only hides it and the sheets, the sidebar and the column width survive. The window
// opens at 1180 x 900 (or the size saved under "QuellorMain" in the user defaults, raised to the
// 840 x 640 minimum), always centred on its screen.
//
// Threads: main thread only.
#include <QMainWindow>
#include <QObject>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>

#include "base/UserDefaults.h"

class QMenuBar;
class QWidget;

namespace quellor {

class MenuBarExportCard;

class MainWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFrameKey = "QuellorMain";

    struct Builders {
        std::function<QWidget*()> makeContent;       // called once, when the window is first created
        std::function<void(QMenuBar&)> installMenus;  // likewise
    };

    MainWindowController(UserDefaults& defaults, Builders builders, QObject* parent = nullptr);
    ~MainWindowController() override;

    // Creates the window if needed, then brings it to the front and gives it the focus.
    void show();
    // Closes a visible window that has the focus; shows it in every other case.
    void toggle();

    QMainWindow* window() const { return window_; }

    // The saved frame "x y width height", when one is stored and well formed.
    static std::optional<QRect> parseFrame(const QString& text);
    static QString formatFrame(const QRect& frame);
    // The size a window opens at: the saved one raised to the minimum, else the default.
    static QSize openingSize(const std::optional<QRect>& saved);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void create();
    void saveFrame();

    UserDefaults& defaults_;
    Builders builders_;
    QMainWindow* window_ = nullptr;  // owned; never deleted before the controller
    std::unique_ptr<MenuBarExportCard> exportCard_;
};

}  // namespace quellor
