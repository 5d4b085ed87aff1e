#pragma once
// A level slider bound to a volume control, with the note "Volume is controlled on the device"
// under it when asked for and the volume cannot be set. It follows the control's change signals by
// itself and writes only through the control; a control that goes away leaves the row empty.
//
// Threads: main thread only.

#include <QPointer>
#include <QWidget>

#include "audio/VolumeControlling.h"
#include "ui/panels/LevelRow.h"

class QGraphicsOpacityEffect;
class QLabel;

namespace quellor {

class ControlSliderWidget;
class ThemeController;

class LevelRowWidget : public QWidget {
    Q_OBJECT
public:
    // Needs the theme (for the note's colour); `showsNote`: the bus cards' note under a slider whose
    // volume cannot be set.
    LevelRowWidget(ThemeController& themes, bool showsNote, QWidget* parent = nullptr);

    // The control shown from now on; nullptr hides the row.
    void setControl(VolumeControlling* control);
    VolumeControlling* control() const { return control_; }
    ControlSliderWidget& slider() const { return *slider_; }
    const LevelRow& model() const { return model_; }
    // The slider's icons and the note for another kind of level (the input gain): the icon while
    // playing and while muted, and the note under a slider whose volume cannot be set.
    void setWording(QString icon, QString mutedIcon, QString note);

private:
    void refresh();

    ThemeController& themes_;
    bool showsNote_;
    QPointer<VolumeControlling> control_;
    ControlSliderWidget* slider_;
    QGraphicsOpacityEffect* fade_;
    QLabel* note_;
    LevelRow model_;
    QString icon_;
    QString mutedIcon_;
};

}  // namespace quellor
