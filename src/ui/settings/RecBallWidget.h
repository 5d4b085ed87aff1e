#pragma once
// The REC card's ball ("rec-ball"): a red ball centred in its area that pulses while a take runs.
// A click and the context menu are the REC card's to handle.
//
// Threads: main thread only. The model must outlive the ball.
#include <QAbstractButton>

namespace quellor {

class RecCard;

class RecBallWidget : public QAbstractButton {
    Q_OBJECT
public:
    RecBallWidget(const RecCard& model, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const RecCard& model_;
};

}  // namespace quellor
