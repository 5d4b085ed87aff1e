#pragma once
// The device list as a widget: one DeviceRowWidget per visible device of a monitor, placed where
// DeviceListDrag says, and its drag: the dragged row follows the pointer, the rows it passes slide
// aside, the others keep their hover quiet. It follows the monitor's list once per burst
// of changes and keeps the row widgets of devices that stay, so a drag survives a refresh.
//
// The dragged row is drawn above the whole window, so it stays visible over the cards.
//
// Threads: main thread only.

#include <QHash>
#include <QLabel>
#include <QPointer>
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
    ~DeviceListWidget() override;

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
    void placeGhost(DeviceRowWidget* dragged);

    MixerEngine& engine_;
    AudioDeviceMonitor& monitor_;
    ThemeController& themes_;
    DeviceListDrag drag_;
    QSet<QString> excluded_;
    std::vector<DeviceRowWidget*> rows_;
    QHash<DeviceRowWidget*, QPropertyAnimation*> slides_;
    // The dragged row as the window shows it above everything else: the row itself stays inside
    // the list, which clips it once it leaves the list (on its way to the MAIN card).
    QPointer<QLabel> ghost_;
    ViewRefresh* refresh_;
};

}  // namespace quellor
