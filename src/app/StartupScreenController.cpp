#include "app/StartupScreenController.h"

#include <QShortcut>

#include "setups/SessionManager.h"
#include "ui/common/ViewRefresh.h"
#include "ui/style/PromptSheet.h"
#include "ui/style/ThemeController.h"
#include "ui/style/WindowPlacement.h"

namespace quellor {

using startup::Element;

StartupScreenController::StartupScreenController(Environment environment, QObject* parent)
    : QObject(parent), env_(std::move(environment)) {}

StartupScreenController::~StartupScreenController() { delete window_.data(); }

void StartupScreenController::show(SessionManager& sessions, std::optional<QString> updateTitle,
                                   std::function<void()> onUpdate, std::function<void()> onOpen) {
    sessions_ = &sessions;
    updateTitle_ = std::move(updateTitle);
    onUpdate_ = std::move(onUpdate);
    // Every way in closes the window first (while the controller lives), then opens.
    onOpen_ = [weak = alive_.weak(), this, onOpen = std::move(onOpen)] {
        if (weak.lock()) close();
        if (onOpen) onOpen();
    };

    auto* view = new StartupScreenView(env_.themes);
    view->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // No title bar shows it; the name is for the desktop's window lists.
    view->setWindowTitle(QStringLiteral("Quellor"));
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(view, &StartupScreenView::activated, this, &StartupScreenController::activate);
    connect(view, &StartupScreenView::closeRequested, this, [this, view] { goInAsItIs(view); });
    if (env_.quit) {
        auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), view);
        connect(quit, &QShortcut::activated, this, [quit = env_.quit] { quit(); });
    }
    namingSheet_ = new PromptSheet(view);
    // The list follows the setups and the stored collapsed state, rebuilt once per burst.
    auto* refresh = new ViewRefresh([this] { rebuild(); }, view);
    refresh->watch(&sessions, &SessionManager::sessionsChanged)
        .watch(&sessions, &SessionManager::currentIDChanged)
        .watchDefaults(env_.defaults, {QString::fromLatin1(startup::kCollapsedKey)});
    // A window shown before is let go without closing it.
    if (window_) window_->hide();
    retired_.retire(window_);
    window_ = view;
    rebuild();
    centreOnPrimaryScreen(*view);
    showInFront(*view);
    view->startEntrance();
}

void StartupScreenController::rebuild() {
    if (!window_ || !sessions_) return;
    window_->setModel(startup::buildModel(sessions_->recentSessions(),
                                          env_.defaults.boolOr(QString::fromLatin1(startup::kCollapsedKey), false),
                                          updateTitle_));
}

void StartupScreenController::activate(Element element, int row) {
    switch (element) {
    case Element::NewSetup:
        namingSheet_->present({startup::kNewSetupPromptTitle, QString(), startup::kSetupNamePlaceholder,
                               [this, open = onOpen_](const QString& name) {
                                   // The setup manager makes the name unique and names a blank one.
                                   sessions_->newSetup(name);
                                   open();
                               }});
        break;
    case Element::OpenSetup: {
        const auto path = env_.openPanel ? env_.openPanel(window_) : std::nullopt;
        // A cancelled panel or a file that is no setup leaves the screen as it was.
        if (path && sessions_->importSetup(*path)) onOpen_();
        break;
    }
    case Element::Update:
        if (onUpdate_) onUpdate_();
        break;
    case Element::RecentHeader: {
        const QString key = QString::fromLatin1(startup::kCollapsedKey);
        env_.defaults.setBool(key, !env_.defaults.boolOr(key, false));
        break;
    }
    case Element::Row:
        if (window_ && row >= 0 && row < int(window_->model().rows.size())) {
            const QUuid id = window_->model().rows[std::size_t(row)].id;
            auto open = onOpen_;
            sessions_->switchTo(id);
            open();
        }
        break;
    }
}

void StartupScreenController::goInAsItIs(StartupScreenView* view) {
    // Only the shown window's own close counts; close() retiring it comes back here too.
    if (!view || view != window_) return;
    onOpen_();
}

void StartupScreenController::close() {
    StartupScreenView* window = window_;
    window_ = nullptr;
    // The window may be closing from inside one of its own events or its sheet's.
    retired_.retire(window);
}

}  // namespace quellor
