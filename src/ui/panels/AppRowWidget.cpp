#include "ui/panels/AppRowWidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QToolButton>
#include <QVBoxLayout>

#include "audio/AudioDeviceMonitor.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/common/ViewRefresh.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/ControlSliderWidget.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/LevelRowWidget.h"
#include "ui/panels/PaintedView.h"
#include "ui/panels/PanelMIDIBadgeWidget.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/panels/SymbolView.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

// The application's icon, and the handle of its drag (previewed larger). Only the icon drags; the
// rest of the row does not.
class AppRowWidget::IconHandle : public QWidget {
public:
    explicit IconHandle(AppRowWidget& row) : QWidget(&row), row_(row) {
        setObjectName(QStringLiteral("app-row-icon"));
        setFixedSize(PanelMetrics::AppRow::kIconSize, PanelMetrics::AppRow::kIconSize);
        setCursor(Qt::OpenHandCursor);
    }
    void setIconName(const QString& name) {
        if (name == name_) return;
        name_ = name;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        icon().paint(&painter, rect());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) pressAt_ = event->position().toPoint();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton)) return;
        if ((event->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
        auto* drag = new QDrag(this);
        drag->setMimeData(row_.dragData().release());
        const int preview = PanelMetrics::AppRow::kDragPreviewSize;
        drag->setPixmap(icon().pixmap(preview, preview));
        drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    }

private:
    QIcon icon() const { return QIcon::fromTheme(name_, QIcon::fromTheme(QStringLiteral("application-x-executable"))); }

    AppRowWidget& row_;
    QString name_;
    QPoint pressAt_;
};

AppRowWidget::AppRowWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                           DropZoneBoard* board, QWidget* parent)
    : QWidget(parent), engine_(engine), mappings_(mappings), themes_(themes), board_(board) {
    setObjectName(QStringLiteral("app-row"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(this);
    using Row = PanelMetrics::AppRow;
    layout->setContentsMargins(Row::kSideInset, 0, Row::kSideInset, 0);
    layout->setSpacing(Row::kSpacing);

    header_ = new QWidget(this);
    headerFade_ = new QGraphicsOpacityEffect(header_);
    header_->setGraphicsEffect(headerFade_);
    auto* headerLayout = new QHBoxLayout(header_);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->setSpacing(Row::kHeaderSpacing);
    icon_ = new IconHandle(*this);
    name_ = panelLabel(QStringLiteral("app-row-name"), 12, QFont::Medium, header_);
    badge_ = new PanelMIDIBadgeWidget(header_);
    levelText_ = new QLabel(header_);
    levelText_->setObjectName(QStringLiteral("app-row-level"));
    levelText_->setFont(monoFont(11));
    headerLayout->addWidget(icon_);
    headerLayout->addWidget(name_);
    headerLayout->addWidget(badge_);
    headerLayout->addStretch(1);
    headerLayout->addWidget(levelText_);

    slider_ = new ControlSliderWidget(QStringLiteral("speaker.wave.3.fill"), PanelMetrics::LevelRow::kSliderHeight,
                                      this);
    slider_->setObjectName(QStringLiteral("app-row-slider"));
    sliderFade_ = new QGraphicsOpacityEffect(slider_);
    slider_->setGraphicsEffect(sliderFade_);
    slider_->onLevel = [this](float level) { engine_.setVolume(level, app_); };
    slider_->onIconTap = [this] { engine_.toggleMute(app_); };

    // The devices the application plays to, on a faint accent fill.
    routes_ = new PaintedView(QStringLiteral("app-row-routes"), [this](QPainter& painter, const QRectF& rect) {
        fillRounded(painter, rect, Row::kRoutesRadius, withOpacity(themes_.palette().brand, 0.08));
    }, this);
    routesLayout_ = new QVBoxLayout(routes_);
    routesLayout_->setContentsMargins(Row::kRoutesPadding, Row::kRoutesPadding, Row::kRoutesPadding,
                                      Row::kRoutesPadding);
    routesLayout_->setSpacing(Row::kRoutesSpacing);

    layout->addWidget(header_);
    layout->addWidget(slider_);
    layout->addWidget(routes_);

    refresh_ = new ViewRefresh([this] { rebuild(); }, this);
    refresh_->watch(&engine_, &MixerEngine::volumesChanged)
        .watch(&engine_.deviceMonitor(), &AudioDeviceMonitor::devicesChanged)
        .watch(&mappings_, &MIDIMappingManager::mappingsChanged)
        .watch(&mappings_, &MIDIMappingManager::learningTargetChanged)
        .watch(&themes_, &ThemeController::themeChanged);
}

AppRowWidget::~AppRowWidget() = default;

void AppRowWidget::setApp(const AudioApp& app, bool isRouteTarget) {
    const bool playingChanged = app.isPlaying != app_.isPlaying && isVisible();
    app_ = app;
    isRouteTarget_ = isRouteTarget;
    if (board_) board_->putApp(this, app_.bundleID);
    rebuild();
    // The dimming of an application that starts or stops playing fades in and out.
    if (playingChanged) {
        auto* fade = new QPropertyAnimation(headerFade_, "opacity", this);
        fade->setDuration(200);
        fade->setEasingCurve(QEasingCurve::OutCubic);
        fade->setStartValue(model_.rowOpacity == 1.0 ? AppRow::kIdleOpacity : 1.0);
        fade->setEndValue(model_.rowOpacity);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

void AppRowWidget::setRouteTarget(bool isRouteTarget) {
    if (isRouteTarget == isRouteTarget_) return;
    isRouteTarget_ = isRouteTarget;
    model_.isRouteTarget = isRouteTarget;
    update();
}

void AppRowWidget::rebuild() {
    if (app_ == AudioApp{}) return;
    model_ = AppRow::of(engine_, mappings_, app_, isRouteTarget_);
    const Palette colors = themes_.palette();
    icon_->setIconName(model_.icon);
    name_->setText(model_.name);
    setTextColor(*name_, colors.textPrimary);
    badge_->setBadge(model_.badge, themes_.current());
    headerFade_->setOpacity(model_.rowOpacity);
    const bool level = model_.showsLevel();
    levelText_->setVisible(level);
    levelText_->setText(model_.levelText());
    setTextColor(*levelText_, colors.textSecondary);
    slider_->setVisible(level);
    slider_->setLevel(model_.entry.volume);
    slider_->setIcon(model_.speakerSymbol());
    slider_->setIconDimmed(model_.entry.isMuted);
    sliderFade_->setOpacity(model_.sliderOpacity());
    routes_->setVisible(!level);
    rebuildOutputs();
    update();
}

void AppRowWidget::rebuildOutputs() {
    using Row = PanelMetrics::AppRow;
    bool same = outputs_.size() == model_.outputs.size();
    for (std::size_t i = 0; same && i < outputs_.size(); ++i) same = outputs_[i].uid == model_.outputs[i].uid;
    if (!same) {
        for (OutputEntry& entry : outputs_) delete entry.box;
        outputs_.clear();
        for (const AppRow::Output& output : model_.outputs) {
            auto* box = new QWidget(routes_);
            box->setObjectName(QStringLiteral("app-row-output"));
            auto* boxLayout = new QVBoxLayout(box);
            boxLayout->setContentsMargins(0, 0, 0, 0);
            boxLayout->setSpacing(Row::kOutputSpacing);
            auto* line = new QWidget(box);
            auto* lineLayout = new QHBoxLayout(line);
            lineLayout->setContentsMargins(0, 0, 0, 0);
            lineLayout->setSpacing(Row::kOutputSpacing);
            auto* arrow =
                new SymbolView(QStringLiteral("arrow.turn.down.right"), Row::kArrowSize, Row::kArrowFrame, line);
            arrow->setObjectName(QStringLiteral("app-row-output-arrow"));
            QLabel* name = panelLabel(QStringLiteral("app-row-output-name"), 12, QFont::Medium, line);
            name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            auto* remove = new QToolButton(line);
            remove->setObjectName(QStringLiteral("app-row-output-remove"));
            remove->setAutoRaise(true);
            remove->setToolTip(AppRow::kStopPlayingHelp);
            remove->setIconSize(QSize(Row::kRemoveIconSize, Row::kRemoveIconSize));
            connect(remove, &QToolButton::clicked, this, [this, uid = output.uid] {
                engine_.removeOutput(uid, app_);
            });
            lineLayout->addWidget(arrow);
            lineLayout->addWidget(name, 1);
            lineLayout->addWidget(remove);
            auto* level = new LevelRowWidget(themes_, false, box);
            boxLayout->addWidget(line);
            boxLayout->addWidget(level);
            routesLayout_->addWidget(box);
            outputs_.push_back({output.uid, box, arrow, name, remove, level});
        }
    }
    const QColor accent = themes_.palette().brand;
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        OutputEntry& entry = outputs_[i];
        entry.name->setText(model_.outputs[i].name);
        setTextColor(*entry.name, accent);
        entry.arrow->setColor(accent);
        entry.remove->setIcon(symbolIcon(QStringLiteral("xmark.circle.fill"), accent, Row::kRemoveIconSize));
        entry.level->setControl(engine_.volumeControl(entry.uid));
    }
}

MenuModel AppRowWidget::contextMenu() const { return appRowMenu(engine_, mappings_, app_); }

std::unique_ptr<QMimeData> AppRowWidget::dragData() const {
    auto data = std::make_unique<QMimeData>();
    data->setText(appDragText(app_));
    return data;
}

void AppRowWidget::paintEvent(QPaintEvent*) {
    if (!isRouteTarget_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, rect(), PanelMetrics::AppRow::kTargetRadius, withOpacity(themes_.palette().brand, 0.15));
}

void AppRowWidget::contextMenuEvent(QContextMenuEvent* event) {
    openPanelMenu(contextMenu(), this, event->globalPos());
    event->accept();
}

}  // namespace quellor
