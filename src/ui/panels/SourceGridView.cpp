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
#include "ui/panels/SourceGrid.h"
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
    const int top = SourceGrid::contentTop();
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
    const std::vector<SourceTile> io = ioSourceTiles();
    const QFont title = sectionFont();
    const QFont empty = emptyFont();
    const SourceGrid::Placement placement =
        SourceGrid::place(viewportWidth, int(appTiles_.size()), int(io.size()),
                          {lineHeight(title), lineHeight(empty), SourceTileWidget::tileHeight()});

    std::vector<Content::Text> texts;
    auto section = [&](const SourceGrid::Section& placed, const QString& name, const std::vector<SourceTile>& tiles) {
        texts.push_back({placed.title, name, title});
        if (placed.emptyText) texts.push_back({*placed.emptyText, kNoApps, empty});
        for (std::size_t i = 0; i < placed.tiles.size(); ++i) tile(tiles[i].id)->setGeometry(placed.tiles[i]);
    };
    section(placement.apps, kAppsTitle, appTiles_);
    section(placement.io, kIOTitle, io);

    content_->texts = std::move(texts);
    content_->resize(viewportWidth, placement.height);
    content_->update();
    return placement.height;
}

void SourceGridView::resizeEvent(QResizeEvent*) { place(); }

void SourceGridView::paintEvent(QPaintEvent*) {
    const Palette p = themes_.palette();
    QPainter painter(this);
    painter.fillRect(rect(), p.panel);
    painter.setFont(headerFont());
    painter.setPen(p.textSecondary);
    painter.drawText(SourceGrid::headerTitle(width()), Qt::AlignLeft | Qt::AlignVCenter, kTitle);
    painter.fillRect(SourceGrid::headerRule(width()), p.hair);
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
