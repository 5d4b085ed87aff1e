#include "ui/panels/SourceGridView.h"

#include <QDrag>
#include <QFontMetricsF>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <set>

#include "audio/AudioProcessMonitor.h"
#include "engine/MixerEngine.h"
#include "ui/common/ViewRefresh.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/SourceGridColumns.h"
#include "ui/panels/SourceTileWidget.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

QFont trackedMono(int pixelSize, QFont::Weight weight) {
    QFont font = monoFont(pixelSize, weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, SourceGridView::kTracking);
    return font;
}
QFont headerFont() { return trackedMono(10, QFont::Bold); }
QFont sectionFont() { return trackedMono(10, QFont::DemiBold); }
QFont emptyFont() { return systemFont(11); }
int lineHeight(const QFont& font) { return int(std::ceil(QFontMetricsF(font).height())); }

}  // namespace

// The scrolled content: the section titles and the empty text are painted here, the tiles are its
// children.
class SourceGridView::Content : public QWidget {
public:
    struct Text {
        QRect rect;
        QString text;
        QFont font;
        bool muted = true;
    };

    Content(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {}
    std::vector<Text> texts;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(themes_.palette().textMuted);
        for (const Text& t : texts) {
            painter.setFont(t.font);
            painter.drawText(t.rect, Qt::AlignLeft | Qt::AlignVCenter, t.text);
        }
    }

private:
    ThemeController& themes_;
};

SourceGridView::SourceGridView(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes, QWidget* parent)
    : QWidget(parent), engine_(engine), themes_(themes), actions_(engine, defaults) {
    setObjectName(QStringLiteral("source-grid"));
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("source-grid-scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->setWidgetResizable(false);
    scroll_->viewport()->setAutoFillBackground(false);
    content_ = new Content(themes, scroll_->viewport());
    scroll_->setWidget(content_);
    content_->setAutoFillBackground(false);

    refresh_ = new ViewRefresh([this] { rebuild(); }, this);
    refresh_->watch(&engine_, &MixerEngine::slotsChanged)
        .watch(&engine_.processMonitor(), &AudioProcessMonitor::appsChanged);
    connect(&themes_, &ThemeController::themeChanged, this, [this] {
        update();
        content_->update();
        for (auto& [id, tile] : tiles_) tile->update();
    });
    rebuild();
}

SourceGridView::~SourceGridView() = default;

SourceTileWidget* SourceGridView::tile(const QString& id) const {
    auto it = tiles_.find(id);
    return it == tiles_.end() ? nullptr : it->second;
}

SourceTileWidget* SourceGridView::tileFor(const SourceTile& tile) {
    SourceTileWidget*& widget = tiles_[tile.id];
    if (!widget) {
        widget = new SourceTileWidget(themes_, content_);
        const QString id = tile.id;
        widget->onClick = [this, id] { actions_.putOnFirstFreeFader(id); };
        widget->onDrag = [this, w = widget](const QString& text) { runDrag(text, w); };
        widget->onContextMenu = [this, id](QPoint at) { runMenu(id, at); };
        widget->show();
    }
    widget->setTile(tile, actions_.faderNumber(tile.id));
    return widget;
}

void SourceGridView::rebuild() {
    if (nestedLoops_ > 0) return;  // runs again when the drag or menu ends
    appTiles_ = appSourceTiles(engine_.processMonitor());
    std::set<QString> shown;
    for (const SourceTile& t : appTiles_) shown.insert(tileFor(t)->tile().id);
    for (const SourceTile& t : ioSourceTiles()) shown.insert(tileFor(t)->tile().id);
    for (auto it = tiles_.begin(); it != tiles_.end();) {
        if (shown.count(it->first)) {
            ++it;
            continue;
        }
        delete it->second;
        it = tiles_.erase(it);
    }
    place();
}

void SourceGridView::place() {
    using Grid = PanelMetrics::SourceGrid;
    const int top = Grid::kHeaderHeight + Grid::kHeaderRule;
    scroll_->setGeometry(0, top, width(), std::max(0, height() - top));
    // The viewport's own size follows the area's only once the area has been laid out: work the
    // width out here, with room for the scroll bar when the content is taller than the area.
    const QSize full = scroll_->maximumViewportSize();
    int contentHeight = placeIn(full.width());
    if (contentHeight > full.height())
        contentHeight = placeIn(full.width() - scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_));
    content_->resize(content_->width(), contentHeight);
}

int SourceGridView::placeIn(int viewportWidth) {
    using Grid = PanelMetrics::SourceGrid;
    const int inner = std::max(0, viewportWidth - 2 * Grid::kSidePadding);
    const auto columns = SourceGridColumns::fitting(inner);
    const int rowHeight = SourceTileWidget::tileHeight();
    const QFont title = sectionFont();
    const int titleHeight = lineHeight(title);

    std::vector<Content::Text> texts;
    int y = Grid::kTopPadding;
    auto section = [&](const QString& name, const std::vector<SourceTile>& tiles, const QString& emptyText) {
        texts.push_back({QRect(Grid::kSidePadding, y, inner, titleHeight), name, title});
        y += titleHeight + Grid::kTitleSpacing;
        if (tiles.empty() && !emptyText.isEmpty()) {
            const QFont font = emptyFont();
            texts.push_back({QRect(Grid::kSidePadding, y, inner, lineHeight(font)), emptyText, font});
            y += lineHeight(font);
            return;
        }
        for (int i = 0; i < int(tiles.size()); ++i) {
            const QRectF cell = columns.cell(i, rowHeight).translated(Grid::kSidePadding, y);
            tile(tiles[i].id)->setGeometry(cell.toRect());
        }
        y += int(std::ceil(columns.height(int(tiles.size()), rowHeight)));
    };
    section(kAppsTitle, appTiles_, kNoApps);
    y += Grid::kSectionSpacing;
    section(kIOTitle, ioSourceTiles(), QString());
    y += Grid::kBottomPadding;

    content_->texts = std::move(texts);
    content_->resize(viewportWidth, y);
    content_->update();
    return y;
}

void SourceGridView::resizeEvent(QResizeEvent*) { place(); }

void SourceGridView::paintEvent(QPaintEvent*) {
    using Grid = PanelMetrics::SourceGrid;
    const Palette p = themes_.palette();
    QPainter painter(this);
    painter.fillRect(rect(), p.panel);
    painter.setFont(headerFont());
    painter.setPen(p.textSecondary);
    const QRect header(Grid::kHeaderPadding, 0, std::max(0, width() - 2 * Grid::kHeaderPadding), Grid::kHeaderHeight);
    painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, kTitle);
    painter.fillRect(QRect(0, Grid::kHeaderHeight, width(), Grid::kHeaderRule), p.hair);
}

void SourceGridView::runDrag(const QString& text, SourceTileWidget* from) {
    auto* mime = new QMimeData;
    mime->setText(text);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(from->grab());
    drag->setHotSpot(from->mapFromGlobal(QCursor::pos()));
    ++nestedLoops_;
    drag->exec(Qt::MoveAction | Qt::CopyAction);
    --nestedLoops_;
    refresh_->request();
}

void SourceGridView::runMenu(const QString& id, QPoint globalPos) {
    const MenuModel model = actions_.tileMenu(id);
    if (model.empty()) return;
    QMenu menu(this);
    populateMenu(menu, model);
    ++nestedLoops_;
    menu.exec(globalPos);
    --nestedLoops_;
    refresh_->request();
}

}  // namespace quellor
