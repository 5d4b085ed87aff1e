#include "ui/settings/MainRecordingCard.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include "engine/MixerEngine.h"
#include "ui/settings/LatestRecordingModel.h"
#include "ui/settings/RecordingCardLook.h"
#include "ui/settings/RepeatWhile.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using Frame = SettingsMetrics::RecordingCard;
using M = SettingsMetrics::MainRecordingCard;

class MainRecordingCard::LatestArea : public QWidget {
public:
    explicit LatestArea(MainRecordingCard& card) : QWidget(&card), card_(card) {}

    void follow() {
        const auto state = card_.model_.state();
        const bool latest = state == MainRecordingCardModel::State::Latest;
        setObjectName(latest ? QStringLiteral("export-card") : QString());
        setAccessibleName(latest ? card_.model_.latestAccessibleLabel()
                                 : state == MainRecordingCardModel::State::Empty ? MainRecordingCardModel::kEmptyLabel
                                                                                 : card_.model_.clockText());
        setToolTip(latest ? MainRecordingCardModel::kLatestHelp
                          : state == MainRecordingCardModel::State::Empty ? MainRecordingCardModel::kEmptyHelp : QString());
        setCursor(latest ? Qt::OpenHandCursor : Qt::ArrowCursor);
        setFixedSize(int(M::kAreaWidth), int(Frame::kHeight));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const Palette palette = card_.themes_.palette();
        const MainRecordingCardModel& model = card_.model_;
        painter.setFont(systemFont(12, QFont::Bold));
        switch (model.state()) {
        case MainRecordingCardModel::State::Clock:
            painter.setPen(RecordingCardLook::kRecRed);
            painter.drawText(rect(), Qt::AlignCenter, model.clockText());
            break;
        case MainRecordingCardModel::State::Empty:
            painter.setOpacity(MainRecordingCardModel::kEmptyOpacity);
            painter.setPen(palette.textPrimary);
            painter.drawText(rect(), Qt::AlignCenter, MainRecordingCardModel::kEmptyText);
            break;
        case MainRecordingCardModel::State::Latest: {
            const QRectF canvas = MainRecordingCardModel::canvasRect(height());
            QPainterPath bars;
            for (const QRectF& bar : MainRecordingCardModel::waveformBars(card_.recordings_.peaks(), canvas))
                bars.addRoundedRect(bar, 0.33, 0.33);
            painter.fillPath(bars, RecordingCardLook::kAmber);
            painter.setPen(palette.textPrimary);
            painter.drawText(MainRecordingCardModel::lengthRect(canvas, height()), Qt::AlignCenter, model.lengthText());
            break;
        }
        }
    }
    void mousePressEvent(QMouseEvent* event) override { pressedAt_ = event->position(); }
    void mouseReleaseEvent(QMouseEvent*) override { pressedAt_.reset(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!pressedAt_ || (event->position() - *pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
        pressedAt_.reset();
        const auto file = card_.model_.dragFile();
        if (!file) return;
        // A file that is gone still drags, offering nothing.
        auto* mime = new QMimeData;
        if (QFileInfo::exists(*file)) mime->setUrls({QUrl::fromLocalFile(*file)});
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->setPixmap(grab());
        drag->exec(Qt::CopyAction);
    }

private:
    MainRecordingCard& card_;
    std::optional<QPointF> pressedAt_;
};

class MainRecordingCard::FolderButton : public QAbstractButton {
public:
    FolderButton(MainRecordingCard& card) : QAbstractButton(&card), card_(card) {
        setObjectName(QStringLiteral("recordings-folder"));
        setAccessibleName(MainRecordingCardModel::kFolderLabel);
        setToolTip(MainRecordingCardModel::kFolderHelp);
        setFixedSize(int(M::kFolderButtonWidth), int(Frame::kHeight));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintSymbol(painter, MainRecordingCardModel::folderSymbolRect(size()), QStringLiteral("folder"),
                    card_.themes_.palette().textSecondary);
    }

private:
    MainRecordingCard& card_;
};

MainRecordingCard::MainRecordingCard(MixerEngine& engine, const MixRecorder* recorder, LatestRecordingModel& recordings,
                                     ThemeController& themes, RecordingFolder::Opener reveal, QWidget* parent)
    : QWidget(parent),
      themes_(themes),
      recordings_(recordings),
      model_(engine, recorder, recordings),
      area_(new LatestArea(*this)),
      folder_(new FolderButton(*this)) {
    setObjectName(QStringLiteral("main-recording-card"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(area_);
    row->addSpacing(int(M::kDividerWidth));
    row->addWidget(folder_);
    setFixedHeight(int(Frame::kHeight));
    connect(folder_, &QAbstractButton::clicked, this, [reveal = std::move(reveal)] { RecordingFolder::reveal(reveal); });
    connect(&engine, &MixerEngine::isRecordingChanged, this, &MainRecordingCard::follow);
    connect(&recordings, &LatestRecordingModel::infoChanged, this, &MainRecordingCard::follow);
    connect(&recordings, &LatestRecordingModel::peaksChanged, this, &MainRecordingCard::follow);
    connect(&themes, &ThemeController::themeChanged, this, &MainRecordingCard::follow);
    follow();
}

MainRecordingCard::~MainRecordingCard() = default;

QWidget* MainRecordingCard::latestArea() const { return area_; }

QAbstractButton* MainRecordingCard::folderButton() const { return folder_; }

void MainRecordingCard::follow() {
    const bool recording = model_.state() == MainRecordingCardModel::State::Clock;
    repeatWhile(recording, clock_, MainRecordingCardModel::kClockInterval, [this] { area_->follow(); });
    area_->follow();
    update();
}

void MainRecordingCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Palette palette = themes_.palette();
    paintOutlinedFrame(painter, rect(),
                       RecordingCardLook::outline(model_.state() == MainRecordingCardModel::State::Clock,
                                                  RecordingCardLook::kAmber),
                       palette.elevated, Frame::kCornerRadius);
    const double x = area_->geometry().right() + 1;
    painter.fillRect(QRectF(x, 0, M::kDividerWidth, height()), palette.hair);
}

}  // namespace quellor
