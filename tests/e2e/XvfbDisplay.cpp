#include "XvfbDisplay.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace quellor::test {

XvfbDisplay::XvfbDisplay() {
    // -displayfd picks a free display number and writes it to our standard output once the server
    // accepts connections.
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", QStringLiteral("%1x%2x24").arg(kScreenWidth).arg(kScreenHeight),
                           "-nolisten", "tcp", "-noreset"});
    if (!server_.waitForStarted(60000)) {
        failure_ = QStringLiteral("Xvfb could not be started: ") + server_.errorString();
        return;
    }
    // A loaded machine (a sanitized build beside other tests) can take long to bring a server up;
    // the test's own time limit is the bound that matters, so this waits well within it.
    QDeadlineTimer deadline(kStartSeconds * 1000);
    QByteArray out;
    while (!out.contains('\n') && !deadline.hasExpired() && server_.state() == QProcess::Running) {
        server_.waitForReadyRead(200);
        out += server_.readAllStandardOutput();
    }
    bool ok = false;
    int number = out.trimmed().toInt(&ok);
    if (ok) {
        name_ = QStringLiteral(":%1").arg(number);
        return;
    }
    failure_ = QStringLiteral("Xvfb did not start within %1 s (%2); it printed: %3")
                   .arg(kStartSeconds)
                   .arg(server_.state() == QProcess::Running ? QStringLiteral("still running") : QStringLiteral("exited"))
                   .arg(QString::fromLocal8Bit(out + server_.readAllStandardError()));
}

XvfbDisplay::~XvfbDisplay() {
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
}

std::optional<QByteArray> XvfbDisplay::run(const QString& program, const QStringList& arguments) const {
    QProcess client;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", name_);
    client.setProcessEnvironment(env);
    client.start(program, arguments);
    if (!client.waitForFinished(20000) || client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0) return std::nullopt;
    return client.readAllStandardOutput();
}

QStringList XvfbDisplay::windows(qint64 pid, const QString& title) const {
    auto out = run("xdotool", {"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name",
                               "^" + QRegularExpression::escape(title) + "$"});
    if (!out) return {};
    return QString::fromUtf8(*out).split('\n', Qt::SkipEmptyParts);
}

bool XvfbDisplay::waitUntil(const std::function<bool()>& condition, double seconds) const {
    QDeadlineTimer deadline(qint64(seconds * 1000));
    while (!condition()) {
        if (deadline.hasExpired()) return condition();
        QThread::msleep(50);
    }
    return true;
}

std::optional<QString> XvfbDisplay::waitForWindow(qint64 pid, const QString& title, double seconds) const {
    std::optional<QString> found;
    waitUntil(
        [&] {
            auto list = windows(pid, title);
            if (!list.isEmpty()) found = list.first();
            return found.has_value();
        },
        seconds);
    return found;
}

QStringList XvfbDisplay::windows(qint64 pid, const QString& title, const std::function<bool(const QRect&)>& shape) const {
    QStringList matching;
    for (const QString& w : windows(pid, title)) {
        if (auto frame = geometry(w); frame && shape(*frame)) matching << w;
    }
    return matching;
}

std::optional<QString> XvfbDisplay::waitForWindow(qint64 pid, const QString& title,
                                                  const std::function<bool(const QRect&)>& shape, double seconds) const {
    std::optional<QString> found;
    waitUntil(
        [&] {
            auto list = windows(pid, title, shape);
            if (!list.isEmpty()) found = list.first();
            return found.has_value();
        },
        seconds);
    return found;
}

std::optional<QRect> XvfbDisplay::geometry(const QString& window) const {
    auto out = run("xdotool", {"getwindowgeometry", "--shell", window});
    if (!out) return std::nullopt;
    QRect rect;
    for (const QString& line : QString::fromUtf8(*out).split('\n', Qt::SkipEmptyParts)) {
        const auto kv = line.split('=');
        if (kv.size() != 2) continue;
        int v = kv[1].toInt();
        if (kv[0] == "X") rect.moveLeft(v);
        else if (kv[0] == "Y") rect.moveTop(v);
        else if (kv[0] == "WIDTH") rect.setWidth(v);
        else if (kv[0] == "HEIGHT") rect.setHeight(v);
    }
    return rect;
}

QImage XvfbDisplay::screenshot(const QString& window) const {
    auto png = run("import", {"-window", window, "png:-"});
    return png ? QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32) : QImage();
}

bool XvfbDisplay::key(const QString& window, const QString& keys) const {
    return run("xdotool", {"windowfocus", "--sync", window}) && run("xdotool", {"key", "--clearmodifiers", keys});
}

namespace {

// A connection to the display for one request; closed with the object.
struct XConnection {
    explicit XConnection(const QString& display) : c(xcb_connect(display.toLocal8Bit().constData(), nullptr)) {}
    ~XConnection() { xcb_disconnect(c); }
    bool ok() const { return xcb_connection_has_error(c) == 0; }
    xcb_atom_t atom(const char* name) const {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
        std::free(reply);
        return atom;
    }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }
    xcb_connection_t* c;
};

}  // namespace

bool XvfbDisplay::askToClose(const QString& window) const {
    bool ok = false;
    const xcb_window_t id = window.toUInt(&ok);
    XConnection x(name_);
    if (!ok || !x.ok()) return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = x.atom("WM_PROTOCOLS");
    event.data.data32[0] = x.atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_void_cookie_t sent = xcb_send_event_checked(x.c, 0, id, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_generic_error_t* error = xcb_request_check(x.c, sent);
    std::free(error);
    return !error;
}

QStringList XvfbDisplay::stackingOrder() const {
    XConnection x(name_);
    if (!x.ok()) return {};
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x.c, xcb_query_tree(x.c, x.root()), nullptr);
    if (!tree) return {};
    QStringList order;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) order << QString::number(children[i]);
    std::free(tree);
    return order;
}

bool XvfbDisplay::type(const QString& window, const QString& text) const {
    return run("xdotool", {"windowfocus", "--sync", window}) && run("xdotool", {"type", "--delay", "20", text});
}

bool XvfbDisplay::click(QPoint p) const {
    // No --sync: it waits for a motion event, and there is none when the pointer is already there
    // (the same point clicked again). The server handles the move before the click anyway.
    return run("xdotool", {"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"}).has_value();
}

bool XvfbDisplay::drag(QPoint from, QPoint to, int steps) const {
    QStringList args{"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1"};
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = from + (to - from) * i / steps;
        args << "sleep" << "0.05" << "mousemove" << QString::number(p.x()) << QString::number(p.y());
    }
    args << "sleep" << "0.2" << "mouseup" << "1";
    return run("xdotool", args).has_value();
}

}  // namespace quellor::test
