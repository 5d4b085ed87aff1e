#include "ui/panels/MixerSourcesPageView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScrollArea>
#include <QVBoxLayout>

#include "audio/AudioProcessMonitor.h"
#include "engine/MixerEngine.h"
#include "ui/common/ViewRefresh.h"
#include "ui/panels/AppRowWidget.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/panels/SymbolView.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

QLabel* label(const QString& objectName, const QString& text, int pointSize, const QColor& color, QWidget* parent,
              int weight = QFont::Normal) {
    QLabel* l = panelLabel(objectName, pointSize, weight, parent);
    l->setText(text);
    setTextColor(*l, color);
    return l;
}

}  // namespace

MixerSourcesPageView::MixerSourcesPageView(MixerEngine& engine, MIDIMappingManager& mappings,
                                           ThemeController& themes, DropZoneBoard* board, QWidget* parent)
    : QWidget(parent), engine_(engine), mappings_(mappings), themes_(themes), board_(board) {
    setObjectName(QStringLiteral("mixer-sources"));
    column_ = new QVBoxLayout(this);
    using Page = PanelMetrics::Page;
    column_->setContentsMargins(Page::kPadding, Page::kPadding, Page::kPadding, Page::kPadding);
    column_->setSpacing(Page::kSpacing);
    column_->addStretch(1);

    refresh_ = new ViewRefresh([this] { rebuild(); }, this);
    refresh_->watch(&engine_, &MixerEngine::isStartedChanged)
        .watch(&engine_, &MixerEngine::needsAudioCapturePermissionChanged)
        .watch(&engine_, &MixerEngine::volumesChanged)
        .watch(&engine_.processMonitor(), &AudioProcessMonitor::appsChanged);
    // Colours are read when the content is built.
    connect(&themes_, &ThemeController::themeChanged, this, [this] { refresh_->request(); });
    rebuild();
}

MixerSourcesPageView::~MixerSourcesPageView() = default;

void MixerSourcesPageView::setPermissionBanner(QWidget* banner) {
    delete permission_;
    permission_ = banner;
    if (banner) column_->insertWidget(0, banner);
    rebuild();
}

void MixerSourcesPageView::setRouteTarget(std::optional<QString> bundleID) {
    if (bundleID == routeTarget_) return;
    routeTarget_ = std::move(bundleID);
    refresh_->request();
}

void MixerSourcesPageView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), themes_.palette().panel); }

QVBoxLayout* MixerSourcesPageView::headedStack(QWidget* box) {
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(PanelMetrics::SourcesPage::kStackSpacing);
    QLabel* l = label(QStringLiteral("sources-heading"), MixerSourcesPage::kHeading.toUpper(), 10,
                      themes_.palette().textMuted, nullptr, QFont::DemiBold);
    l->setContentsMargins(PanelMetrics::Page::kHeadingInset, 0, PanelMetrics::Page::kHeadingInset, 0);
    stack->addWidget(l);
    return stack;
}

QWidget* MixerSourcesPageView::waitingLine() {
    auto* line = new QWidget;
    line->setObjectName(QStringLiteral("sources-waiting"));
    auto* row = new QHBoxLayout(line);
    using Sources = PanelMetrics::SourcesPage;
    row->setContentsMargins(0, Sources::kStateMargin, 0, Sources::kStateMargin);
    row->setSpacing(Sources::kWaitingSpacing);
    auto* progress = new QProgressBar(line);
    progress->setRange(0, 0);  // indeterminate
    progress->setTextVisible(false);
    progress->setFixedSize(Sources::kProgressWidth, Sources::kProgressHeight);
    row->addStretch(1);
    row->addWidget(progress, 0, Qt::AlignVCenter);
    row->addWidget(label(QStringLiteral("sources-waiting-text"), MixerSourcesPage::kWaitingText, 12,
                         themes_.palette().textSecondary, line),
                   0, Qt::AlignVCenter);
    row->addStretch(1);
    return line;
}

QWidget* MixerSourcesPageView::emptyState() {
    const Palette p = themes_.palette();
    auto* state = new QWidget;
    state->setObjectName(QStringLiteral("sources-empty"));
    QVBoxLayout* stack = headedStack(state);
    using Sources = PanelMetrics::SourcesPage;
    auto* row = new QHBoxLayout;
    auto* centre = new QVBoxLayout;
    centre->setContentsMargins(0, Sources::kStateMargin, 0, Sources::kStateMargin);
    centre->setSpacing(Sources::kStackSpacing);
    auto* symbol = new SymbolView(MixerSourcesPage::kNoAppsSymbol, Sources::kEmptySymbolSize, Sources::kEmptySymbolFrame,
                                  state);
    symbol->setColor(p.textMuted);
    centre->addWidget(symbol, 0, Qt::AlignHCenter);
    centre->addWidget(label(QStringLiteral("sources-empty-text"), MixerSourcesPage::kNoAppsText, 12, p.textSecondary, state),
                      0, Qt::AlignHCenter);
    row->addStretch(1);
    row->addLayout(centre);
    row->addStretch(1);
    stack->addLayout(row);
    return state;
}

QWidget* MixerSourcesPageView::appList(const std::vector<AudioApp>& apps) {
    auto* list = new QWidget;
    list->setObjectName(QStringLiteral("sources-list"));
    QVBoxLayout* stack = headedStack(list);
    using Sources = PanelMetrics::SourcesPage;

    list_ = new QScrollArea(list);
    list_->setObjectName(QStringLiteral("sources-rows"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setWidgetResizable(true);
    list_->viewport()->setAutoFillBackground(false);
    // Framed to what the rows ask for; taller rows scroll inside.
    list_->setFixedHeight(int(std::ceil(MixerSourcesPage::listHeight(engine_, apps))));
    auto* rows = new QWidget;
    rows->setAutoFillBackground(false);
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(0, Sources::kRowsPadding, 0, Sources::kRowsPadding);
    column->setSpacing(Sources::kRowSpacing);
    for (const AudioApp& app : apps) {
        const bool target = MixerSourcesPage::isRouteTarget(routeTarget_, app);
        auto* row = new AppRowWidget(engine_, mappings_, themes_, board_);
        row->setApp(app, target);
        rows_.push_back(row);
        column->addWidget(row);
    }
    column->addStretch(1);
    list_->setWidget(rows);
    stack->addWidget(list_);
    return list;
}

void MixerSourcesPageView::rebuild() {
    if (permission_) permission_->setVisible(engine_.needsAudioCapturePermission());
    const auto& apps = engine_.processMonitor().apps();
    // A level change alone leaves the rows in place (each row follows its own level): a slider
    // being dragged must not be replaced under the pointer.
    Shape shape{engine_.isStarted(), themes_.current(), routeTarget_, apps, {}};
    for (const AudioApp& app : apps) shape.outputs.push_back(engine_.outputDeviceUIDs(app));
    if (sources_ && shape == shape_) return;
    shape_ = std::move(shape);
    form_ = MixerSourcesPage::form(engine_.isStarted(), apps);
    delete sources_;
    list_ = nullptr;
    rows_.clear();
    switch (form_) {
    case MixerSourcesPage::Form::Waiting: sources_ = waitingLine(); break;
    case MixerSourcesPage::Form::Empty: sources_ = emptyState(); break;
    case MixerSourcesPage::Form::List: sources_ = appList(apps); break;
    }
    column_->insertWidget(permission_ ? 1 : 0, sources_);
    sources_->show();  // the layout would only show it on a later turn of the event loop
}

}  // namespace quellor
