#pragma once
// The MAIN recording card of the console's top bar as a widget: it paints what
// MainRecordingCard says and forwards clicks and drags to it. The take's clock while
// recording, else the latest take ("export-card", dragged out as its file) or a dimmed 0:00, and
// the button that opens the recordings folder ("recordings-folder").
//
// Threads: main thread only. The engine, the recordings model, the recorder and the theme
// controller must outlive the card.

#include <QAbstractButton>
#include <QWidget>

#include "base/Scheduler.h"
#include "recording/RecordingFolder.h"
#include "ui/settings/MainRecordingCard.h"

namespace quellor {

class FolderButtonWidget;
class TakeAreaWidget;
class ThemeController;

class MainRecordingCardWidget : public QWidget {
    Q_OBJECT
public:
    // `reveal` opens a folder; by default the desktop's file manager.
    MainRecordingCardWidget(MixerEngine& engine, const MixRecorder* recorder, LatestRecordingModel& recordings,
                            ThemeController& themes, RecordingFolder::Opener reveal = {}, QWidget* parent = nullptr);
    ~MainRecordingCardWidget() override;

    const MainRecordingCard& model() const { return model_; }
    QWidget* latestArea() const;
    QAbstractButton* folderButton() const;

    // As high as the card, whatever its row of children asks for.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void follow();

    ThemeController& themes_;
    LatestRecordingModel& recordings_;
    MainRecordingCard model_;
    TakeAreaWidget* area_;
    FolderButtonWidget* folder_;
    TaskSlot clock_;
};

}  // namespace quellor
