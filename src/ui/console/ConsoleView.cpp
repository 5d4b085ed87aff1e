#include "ui/console/ConsoleView.h"

#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScrollBar>
#include <QToolButton>
#include <cmath>
#include <algorithm>

#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/common/KeyedChildren.h"
#include "ui/common/ViewRefresh.h"
#include "ui/console/ConsoleFades.h"
#include "ui/console/ConsoleLock.h"
#include "ui/console/ConsoleMetrics.h"
#include "ui/console/ConsoleStripWidget.h"
#include "ui/console/SlotSourceMenu.h"
#include "ui/console/StoredStripCount.h"
#include "ui/console/StripDragPayload.h"
#include "ui/console/StripDrop.h"
#include "ui/console/StripModelBuilder.h"
#include "ui/console/StripModelRefresh.h"
#include "ui/console/StripStyleEdit.h"
#include "ui/style/MenuModel.h"
#include "ui/style/PromptSheet.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

// The "plus" over an empty slot's placeholder strip: the whole cell is its button.
class PlusButton : public QToolButton {
public:
    PlusButton(ThemeController& themes, QWidget* parent) : QToolButton(parent), themes_(themes) {
        setCursor(Qt::PointingHandCursor);
        setAutoRaise(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const EmptySlotLook look = EmptySlotLook::of(themes_.current());
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // The symbol is drawn the size its point size asks for; heavier weights get a thicker
        // stroke by drawing it a little larger.
        using E = ConsoleMetrics::EmptySlot;
        const double side = E::kPointSize * (look.weight >= QFont::Bold ? 1.0 : E::kLightScale);
        const QRectF glyph(QPointF(width() / 2.0 - side / 2, height() / 2.0 - side / 2), QSizeF(side, side));
        paintSymbol(painter, glyph.translated(0, E::kShadowDrop), EmptySlotLook::kSymbol, look.shadow);
        paintSymbol(painter, glyph, EmptySlotLook::kSymbol, look.color);
    }

private:
    ThemeController& themes_;
};

}  // namespace

// The drop outline, laid over the grid's cells; it takes no clicks.
class ConsoleView::Outline : public QWidget {
public:
    Outline(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("console-drop-outline"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        using D = ConsoleMetrics::DropOutline;
        QPen pen(themes_.palette().brand, D::kLineWidth);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const double inset = D::kInset;
        painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), D::kCornerRadius, D::kCornerRadius);
    }

private:
    ThemeController& themes_;
};

ConsoleView::ConsoleView(MixerEngine& engine, MIDIMappingManager* mappings, UserDefaults& defaults,
                         ThemeController& themes, QWidget* parent)
    : QScrollArea(parent),
      engine_(engine),
      ownMappings_(mappings ? nullptr : std::make_unique<MIDIMappingManager>(defaults)),
      mappings_(mappings ? *mappings : *ownMappings_),
      defaults_(defaults),
      themes_(themes),
      refresh_(new ViewRefresh([this] { rebuild(); }, this)),
      prompt_(new PromptSheet(this)),
      grid_(new QWidget),
      outline_(nullptr),
      lock_(new ConsoleLock(defaults, this)) {
    setObjectName(QStringLiteral("console-strips"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    // The console's background shows through: the window paints it.
    viewport()->setAutoFillBackground(false);
    grid_->setObjectName(QStringLiteral("console-grid"));
    grid_->setAcceptDrops(true);
    grid_->installEventFilter(this);
    setWidget(grid_);
    grid_->setAutoFillBackground(false);  // setWidget turns it on
    outline_ = new Outline(themes_, grid_);
    outline_->hide();
    watchStripModelSources(*refresh_, engine_, &mappings_);
    refresh_->watchDefaults(defaults_, {QString::fromLatin1(kConsoleStripsKey)});
    connect(&themes_, &ThemeController::themeChanged, this, [this] { updatePlusLook(); });
    connect(lock_, &ConsoleLock::lockedChanged, this, [this] { applyLock(); });
    applyLock();
    rebuild();
}

ConsoleView::~ConsoleView() = default;

ConsoleStripWidget* ConsoleView::strip(int index) const {
    return index >= 0 && index < stripCount() ? cells_[std::size_t(index)].strip : nullptr;
}

std::optional<int> ConsoleView::slotAt(QPoint point) const {
    for (const Cell& cell : cells_)
        if (cell.strip->geometry().contains(point)) return cell.slot.index;
    return std::nullopt;
}

void ConsoleView::rebuild() {
    const int count = storedStripCount(defaults_);
    const std::vector<ConsoleSlotCell> wanted = consoleSlotCells(engine_.consoleSlots(), count);
    // The widgets of the cells that stay, keyed by (index, source).
    std::vector<ConsoleSlotCell> current;
    for (const Cell& cell : cells_) current.push_back(cell.slot);
    const KeyedChildrenPlan plan = planKeyedChildren(current, wanted);
    std::vector<Cell> cells;
    const StripModelBuilder builder(engine_, defaults_);
    // A cell that is new takes a widget of a cell that went, and only then a new one: nothing is
    // deleted while the rebuild may run inside a drag from one of the strips, or inside the source
    // menu of an empty slot's button. Spare widgets wait hidden.
    for (std::size_t i : plan.gone) {
        const Cell& cell = cells_[i];
        cell.strip->hide();
        cell.strip->setObjectName(QString());
        if (cell.plus) cell.plus->setObjectName(QString());
        spares_.push_back(cell);
    }
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        const ConsoleSlotCell& slot = wanted[w];
        Cell cell = plan.kept[w] ? cells_[*plan.kept[w]] : takeSpare(slot);
        cell.slot = slot;
        cell.strip->setObjectName(QStringLiteral("strip-%1").arg(slot.index + 1));
        if (slot.isEmpty()) {
            if (!cell.plus) {
                auto* plus = new PlusButton(themes_, cell.strip);
                connect(plus, &QToolButton::clicked, this, [this, plus] {
                    // The cell the button stands on now (widgets move between cells).
                    for (const Cell& c : cells_)
                        if (c.plus == plus) return openSourceMenu(c.slot.index, plus);
                });
                cell.plus = plus;
            }
            cell.plus->setObjectName(slot.emptyObjectName());
            cell.plus->setAccessibleName(slot.emptyAccessibilityLabel());
            cell.plus->setToolTip(slot.emptyAccessibilityLabel());
            cell.plus->show();
        } else if (cell.plus) {
            cell.plus->hide();
            cell.plus->setObjectName(QString());
        }
        cells.push_back(cell);
    }
    cells_ = std::move(cells);
    relayout();
    // The models after the geometry: the compact form follows the layout.
    for (Cell& cell : cells_) {
        const int i = cell.slot.index;
        if (cell.slot.isEmpty()) {
            // No slot: an empty cell offers nothing to drag; its "plus" opens the source menu.
            cell.strip->setStrip(StripModelBuilder::emptySlotModel(), std::nullopt, layout_.compact, {});
        } else {
            const QString id = cell.slot.identifier;
            cell.strip->setStrip(builder.model(id), i, layout_.compact,
                                 stripStyleCallbacks(engine_, id, [this, id] { rename(id); }));
        }
        cell.strip->show();
    }
    if (highlight_.target() && !strip(*highlight_.target())) highlight_.left(*highlight_.target());
    showHighlight();
    emit cellsPlaced();
}

ConsoleView::Cell ConsoleView::takeSpare(const ConsoleSlotCell& slot) {
    if (!spares_.empty()) {
        Cell cell = spares_.back();
        spares_.pop_back();
        return cell;
    }
    Cell cell;
    cell.slot = slot;
    cell.strip = new ConsoleStripWidget({engine_, mappings_, defaults_, themes_, clock_, ConsoleFades::shared(),
                                         [engine = QPointer<MixerEngine>(&engine_)](int index) {
                                             return engine ? slotSourceMenu(index, *engine) : MenuModel{};
                                         }},
                                        grid_);
    return cell;
}

bool ConsoleView::viewportEvent(QEvent* event) {
    const bool handled = QScrollArea::viewportEvent(event);
    // The viewport, not the area: a scroll bar coming or going resizes it too.
    if (event->type() == QEvent::Resize) {
        const bool wasCompact = layout_.compact;
        relayout();
        if (layout_.compact != wasCompact) refresh_->request();
        emit cellsPlaced();
    }
    return handled;
}

void ConsoleView::relayout() {
    // The viewport's width: a vertical scroll bar, when shown, narrows what the rows may take.
    const int count = storedStripCount(defaults_);
    auto place = [&](QSize viewport) {
        layout_ = ConsoleLayout::of(ConsoleLayout::availableSize(QSizeF(viewport)), count);
        const double pad = ConsoleMetrics::Grid::kPadding;
        const double height = layout_.scrolls ? layout_.contentHeight() + 2 * pad : viewport.height();
        grid_->resize(viewport.width(), int(std::ceil(std::max<double>(height, viewport.height()))));
    };
    place(viewport()->size());
    const QPointF origin(ConsoleMetrics::Grid::kPadding, ConsoleMetrics::Grid::kPadding);
    for (Cell& cell : cells_) {
        const QRect rect = layout_.cellRect(cell.slot.index).translated(origin).toAlignedRect();
        cell.strip->setGeometry(rect);
        if (cell.plus) {
            cell.plus->setGeometry(cell.strip->rect());
            cell.plus->raise();
        }
    }
    showHighlight();
}

void ConsoleView::applyLock() {
    // A grid that is transparent for the mouse hands every press, drag and drop over it to the
    // viewport, subtree and all, so no strip control, menu, drag or drop is reached; the wheel
    // and the scroll bar belong to the area and keep scrolling.
    const bool takes = lock_->takesPointer(ConsoleLock::Target::StripControl);
    grid_->setAttribute(Qt::WA_TransparentForMouseEvents, !takes);
    if (!takes) dragLeft();
}

void ConsoleView::updatePlusLook() {
    for (Cell& cell : cells_)
        if (cell.plus) cell.plus->update();
    outline_->update();
}

void ConsoleView::showHighlight() {
    ConsoleStripWidget* target = highlight_.target() ? strip(*highlight_.target()) : nullptr;
    if (!target) {
        outline_->hide();
        return;
    }
    outline_->setGeometry(target->geometry());
    outline_->raise();
    outline_->show();
}

void ConsoleView::openSourceMenu(int index, QToolButton* anchor) {
    QMenu menu(anchor);
    populateMenu(menu, slotSourceMenu(index, engine_));
    menu.exec(anchor->mapToGlobal(anchor->rect().center()));
}

void ConsoleView::rename(const QString& id) {
    prompt_->present({kRenameStripTitle, stripStyleName(engine_, id), kRenameStripPlaceholder,
                      [engine = QPointer<MixerEngine>(&engine_), id](const QString& typed) {
                          if (engine) renameStrip(*engine, id, typed);
                      }});
}

void ConsoleView::dragEnteredAt(QPoint point) {
    const std::optional<int> index = slotAt(point);
    if (index) {
        highlight_.entered(*index);
    } else if (highlight_.target()) {
        highlight_.left(*highlight_.target());
    }
    showHighlight();
}

void ConsoleView::dragLeft() {
    if (highlight_.target()) highlight_.left(*highlight_.target());
    showHighlight();
}

void ConsoleView::droppedAt(QPoint point, const QString& payload) {
    const std::optional<int> index = slotAt(point);
    if (highlight_.target()) highlight_.dropped(*highlight_.target());
    showHighlight();
    if (index) handleStripDrop(engine_, defaults_, payload, *index);
}

bool ConsoleView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != grid_) return QScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!lock_->takesPointer(ConsoleLock::Target::StripDrop) || !StripDragPayload::textOf(*drag->mimeData())) {
            drag->ignore();
            return true;
        }
        dragEnteredAt(drag->position().toPoint());
        drag->setDropAction(Qt::MoveAction);
        drag->accept();
        return true;
    }
    case QEvent::DragLeave:
        dragLeft();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<QString> text = StripDragPayload::textOf(*drop->mimeData());
        if (!text || !lock_->takesPointer(ConsoleLock::Target::StripDrop)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
        droppedAt(drop->position().toPoint(), *text);
        return true;
    }
    default: return QScrollArea::eventFilter(watched, event);
    }
}

}  // namespace quellor
