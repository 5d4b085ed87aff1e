#pragma once
// The device list as a widget: one DeviceRowWidget per visible device of a monitor, 28 high with 2
// between them, and the drag of DeviceListDrag: the dragged row follows the pointer, the rows it
// passes slide aside, the others keep their hover quiet. It follows the monitor's list once per burst
// of changes and keeps the row widgets of devices that stay, so a drag survives a refresh.
//
// Threads: main thread only.

#include <QHash>
#include <QSet>
#include <QWidget>
#include <vector>

#include "ui/panels/DeviceListDrag.h"

class QPropertyAnimation;

namespace quellor {

class AudioDeviceMonitor;
class DeviceRowWidget;
class MixerEngine;
class ThemeController;
class ViewRefresh;

class DeviceListWidget : public QWidget {
    Q_OBJECT
public:
    // Needs the engine (for the rows), the monitor whose devices it lists and the theme. `owner`
    // takes the drops; a reorder goes to the monitor's applyOrder() unless the owner says otherwise.
    DeviceListWidget(MixerEngine& engine, AudioDeviceMonitor& monitor, ThemeController& themes,
                     DeviceListDrag::Owner owner = {}, QWidget* parent = nullptr);

    void setExcludedUIDs(const QSet<QString>& excluded);
    // Reads the monitor's devices now (the widget also does so after every burst of changes).
    void rebuild();

    const DeviceListDrag& drag() const { return drag_; }
    // The rows in list order.
    const std::vector<DeviceRowWidget*>& rows() const { return rows_; }
    DeviceRowWidget* row(const QString& uid) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void placeRows(bool animate);

    MixerEngine& engine_;
    AudioDeviceMonitor& monitor_;
    ThemeController& themes_;
    DeviceListDrag drag_;
    QSet<QString> excluded_;
    std::vector<DeviceRowWidget*> rows_;
    QHash<DeviceRowWidget*, QPropertyAnimation*> slides_;
    ViewRefresh* refresh_;
};

}  // namespace quellor
