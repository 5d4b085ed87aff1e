#include "ui/panels/DeviceListWidget.h"

#include <QEasingCurve>
#include <QPropertyAnimation>

#include "audio/AudioDeviceMonitor.h"
#include "ui/common/KeyedChildren.h"
#include "ui/common/ViewRefresh.h"
#include "ui/panels/DeviceRowWidget.h"
#include "ui/panels/PanelMetrics.h"

namespace quellor {
namespace {

DeviceListDrag::Owner withDefaultOrder(DeviceListDrag::Owner owner, AudioDeviceMonitor& monitor) {
    if (!owner.applyOrder)
        owner.applyOrder = [&monitor](const QStringList& uids, const QString& moved) { monitor.applyOrder(uids, moved); };
    return owner;
}

}  // namespace

DeviceListWidget::DeviceListWidget(MixerEngine& engine, AudioDeviceMonitor& monitor, ThemeController& themes,
                                   DeviceListDrag::Owner owner, QWidget* parent)
    : QWidget(parent),
      engine_(engine),
      monitor_(monitor),
      themes_(themes),
      drag_(withDefaultOrder(std::move(owner), monitor)),
      refresh_(new ViewRefresh([this] { rebuild(); }, this)) {
    setObjectName(monitor.direction() == AudioDirection::input ? QStringLiteral("input-device-list")
                                                               : QStringLiteral("output-device-list"));
    refresh_->watch(&monitor_, &AudioDeviceMonitor::devicesChanged);
    rebuild();
}

DeviceListWidget::~DeviceListWidget() { delete ghost_; }

void DeviceListWidget::setExcludedUIDs(const QSet<QString>& excluded) {
    if (excluded == excluded_) return;
    excluded_ = excluded;
    rebuild();
}

DeviceRowWidget* DeviceListWidget::row(const QString& uid) const {
    for (DeviceRowWidget* r : rows_)
        if (r->device().uid == uid) return r;
    return nullptr;
}

void DeviceListWidget::rebuild() {
    drag_.setDevices(DeviceListDrag::visibleDevices(monitor_.devices(), excluded_));
    std::vector<QString> current, wanted;
    for (DeviceRowWidget* r : rows_) current.push_back(r->device().uid);
    for (const AudioDevice& device : drag_.devices()) wanted.push_back(device.uid);
    const KeyedChildrenPlan plan = planKeyedChildren(current, wanted);
    std::vector<DeviceRowWidget*> rows;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const AudioDevice& device = drag_.devices()[i];
        DeviceRowWidget* r = nullptr;
        if (plan.kept[i]) {
            r = rows_[*plan.kept[i]];
            r->setDevice(device);
        } else {
            DeviceRowWidget::Reorder reorder{
                [this](const QString& uid, const DeviceRowGesture::Moved& m) {
                    drag_.moved(uid, m.translation, m.location);
                    placeRows(true);
                },
                [this](const QString& uid, const DeviceRowGesture::Finished& f) {
                    drag_.finished(uid, f.location);
                    placeRows(true);
                }};
            r = new DeviceRowWidget(engine_, monitor_, themes_, device, std::move(reorder), this);
            r->show();
        }
        rows.push_back(r);
    }
    for (std::size_t i : plan.gone) {
        DeviceRowWidget* old = rows_[i];
        slides_.remove(old);
        old->hide();
        old->deleteLater();
    }
    rows_ = std::move(rows);
    updateGeometry();
    placeRows(false);
}

QSize DeviceListWidget::sizeHint() const {
    return {PanelMetrics::DeviceList::kWidthHint, int(DeviceListDrag::listHeight(int(rows_.size())))};
}

void DeviceListWidget::resizeEvent(QResizeEvent*) { placeRows(false); }

void DeviceListWidget::hideEvent(QHideEvent*) {
    delete ghost_;
    if (drag_.draggedUID()) {
        drag_.reset();
        placeRows(false);
    }
}

void DeviceListWidget::placeRows(bool animate) {
    const std::optional<QString>& dragged = drag_.draggedUID();
    DeviceRowWidget* draggedRow = nullptr;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        DeviceRowWidget* r = rows_[i];
        const bool isDragged = dragged && *dragged == r->device().uid;
        r->setSuppressHover(drag_.suppressesHover(r->device().uid));
        r->resize(width(), int(PanelMetrics::DeviceList::kRowHeight));
        const QPoint target(0, int(std::lround(drag_.rowTop(int(i)))));
        QPropertyAnimation*& slide = slides_[r];
        if (isDragged) {
            r->raise();
            draggedRow = r;
        }
        if (!animate || isDragged) {
            // The dragged row follows the pointer directly.
            if (slide) slide->stop();
            r->move(target);
            continue;
        }
        if (r->pos() == target || (slide && slide->state() == QAbstractAnimation::Running && slide->endValue() == target))
            continue;
        if (!slide) {
            slide = new QPropertyAnimation(r, "pos", r);
            slide->setDuration(int(DeviceListDrag::kSettleSeconds * 1000));
            slide->setEasingCurve(QEasingCurve::OutCubic);
        }
        slide->stop();
        slide->setStartValue(r->pos());
        slide->setEndValue(target);
        slide->start();
    }
    placeGhost(draggedRow);
}

void DeviceListWidget::placeGhost(DeviceRowWidget* dragged) {
    if (!dragged || !isVisible()) {
        delete ghost_;
        return;
    }
    if (!ghost_) {
        ghost_ = new QLabel(window());
        ghost_->setObjectName(QStringLiteral("dragged-device-row"));
        ghost_->setAttribute(Qt::WA_TransparentForMouseEvents);
        ghost_->setPixmap(dragged->grab());
        ghost_->resize(dragged->size());
        ghost_->show();
    }
    ghost_->move(dragged->mapTo(window(), QPoint(0, 0)));
    ghost_->raise();
}

}  // namespace quellor
