#pragma once
// A private X display for whole-program tests of the windows: an Xvfb server on a display number it
// picks itself, xdotool for input and window queries, and screenshots read back as images.
// Waits are bounded polls of what the display shows.
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace quellor::test {

class XvfbDisplay {
public:
    static constexpr int kScreenWidth = 1600;
    static constexpr int kScreenHeight = 1200;
    static constexpr int kStartSeconds = 240;

    XvfbDisplay();
    ~XvfbDisplay();

    bool isRunning() const { return !name_.isEmpty(); }
    // Why the server is not running: what Xvfb printed, or that it could not be started.
    QString failure() const { return failure_; }
    QString name() const { return name_; }  // ":N"

    // Runs an X client (xdotool, import) on this display; its standard output, or nothing when it
    // fails.
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments) const;
    // The visible windows of process `pid` titled exactly `title`.
    QStringList windows(qint64 pid, const QString& title) const;
    // Waits until the process shows exactly... at least one such window; its id.
    std::optional<QString> waitForWindow(qint64 pid, const QString& title, double seconds = 20) const;
    // The same, for a window whose frame also satisfies `shape` (windows that share a title).
    std::optional<QString> waitForWindow(qint64 pid, const QString& title, const std::function<bool(const QRect&)>& shape,
                                         double seconds = 20) const;
    // The visible windows of `pid` titled `title` whose frame satisfies `shape`.
    QStringList windows(qint64 pid, const QString& title, const std::function<bool(const QRect&)>& shape) const;
    bool waitUntil(const std::function<bool()>& condition, double seconds = 20) const;
    std::optional<QRect> geometry(const QString& window) const;
    QImage screenshot(const QString& window = QStringLiteral("root")) const;
    // Asks the window to close as a window manager does (Alt+F4, its close button): a
    // WM_DELETE_WINDOW message of the WM_PROTOCOLS client message.
    bool askToClose(const QString& window) const;
    // The windows directly under the root, bottom to top (the stacking order).
    QStringList stackingOrder() const;
    // Gives the window the input focus, then types the keys ("ctrl+n", "Return").
    bool key(const QString& window, const QString& keys) const;
    // Gives the window the input focus, then types the text.
    bool type(const QString& window, const QString& text) const;
    // Moves the pointer to a point of the screen and clicks the left button there.
    bool click(QPoint screenPoint) const;
    // Presses the left button at `from`, moves the pointer to `to` in `steps` moves a moment apart
    // (a drag starts only after the pointer has moved while pressed), and releases it there.
    bool drag(QPoint from, QPoint to, int steps = 10) const;

private:
    QProcess server_;
    QString name_;
    QString failure_;
};

}  // namespace quellor::test
