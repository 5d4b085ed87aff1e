#include "app/MainWindowController.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>

#include "app/MainWindowLayout.h"
#include "app/MenuBarExportCard.h"
#include "ui/style/WindowPlacement.h"

namespace quellor {

MainWindowController::MainWindowController(UserDefaults& defaults, Builders builders, QObject* parent)
    : QObject(parent), defaults_(defaults), builders_(std::move(builders)), exportCard_(std::make_unique<MenuBarExportCard>()) {}

MainWindowController::~MainWindowController() {
    if (!window_) return;
    window_->removeEventFilter(this);
    delete window_;
}

std::optional<QRect> MainWindowController::parseFrame(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4) return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
    return QRect(v[0], v[1], v[2], v[3]);
}

QString MainWindowController::formatFrame(const QRect& frame) {
    return QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

QSize MainWindowController::openingSize(const std::optional<QRect>& saved) {
    using M = ShellMetrics::MainWindow;
    if (!saved) return {M::kWidth, M::kHeight};
    return {std::max(M::kMinWidth, saved->width()), std::max(M::kMinHeight, saved->height())};
}

void MainWindowController::create() {
    auto* window = new QMainWindow;
    window->setObjectName(QStringLiteral("main-window"));
    window->setWindowTitle(QStringLiteral("Quellor"));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    if (builders_.installMenus) builders_.installMenus(*window->menuBar());
    QWidget* content = builders_.makeContent ? builders_.makeContent() : new QWidget;
    // The minimum is the content's: the menu bar comes on top of it, as a title bar would.
    content->setMinimumSize(ShellMetrics::MainWindow::kMinWidth, ShellMetrics::MainWindow::kMinHeight);
    window->setCentralWidget(content);
    // The content area is the size the user sees and saves; the menu bar sits above it.
    const QSize size = openingSize(parseFrame(defaults_.stringOr(kFrameKey, QString())));
    window->resize(size.width(), size.height() + window->menuBar()->sizeHint().height());
    centreOnPrimaryScreen(*window);
    window->installEventFilter(this);
    window_ = window;
}

void MainWindowController::show() {
    if (!window_) create();
    showInFront(*window_);
}

void MainWindowController::toggle() {
    if (window_ && window_->isVisible() && window_->isActiveWindow()) window_->close();
    else show();
}

bool MainWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) saveFrame();
    return QObject::eventFilter(watched, event);
}

void MainWindowController::saveFrame() {
    if (!window_ || !window_->isVisible()) return;
    QWidget* content = window_->centralWidget();
    QRect frame(window_->geometry().topLeft(), content ? content->size() : window_->size());
    QString text = formatFrame(frame);
    if (defaults_.stringOr(kFrameKey, QString()) != text) defaults_.setString(kFrameKey, text);
}

}  // namespace quellor
