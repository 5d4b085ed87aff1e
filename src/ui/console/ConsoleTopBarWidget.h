#pragma once
// The console's top bar as a widget: 44 high with a hair line under it, painted in the theme's
// `panel`. It measures its items, asks ConsoleTopBar which row stands in its width, and places
// that row's items; the others are hidden. Its buttons paint the model's faces and call the model's
// actions; the more-menu is the model's menu, rebuilt each time it opens. It follows every user
// default it shows, the engine's solo set and the theme at once.
//
// The strip-count, meter and recording cards belong to the settings side; the bar holds their places
// and shows whatever widgets it is handed for them (none: the places take no room).
//
// Threads: main thread only.

#include <QPointer>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "ui/console/ConsoleTopBar.h"

namespace quellor {

class ThemeSwitch;

// A plain button that paints a TopBarButtonFace: an optional symbol and an optional text on an
// optional rounded background, with the face's tool tip, accessible name and object name.
class TopBarButton : public QToolButton {
    Q_OBJECT
public:
    enum class Shape {
        Glyph,  // a 26 by 26 icon frame (sidebar, settings, more-menu)
        Pill,   // 22 high, padded across (the lock)
        Text,   // the text alone (CLEAR SOLO)
    };
    TopBarButton(Shape shape, double symbolSize, double tracking, std::function<TopBarButtonFace()> face,
                 QWidget* parent = nullptr);
    void setPadding(double padding);
    // Takes the face again (state or theme changed).
    void refresh();
    const TopBarButtonFace& face() const { return face_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QFont textFont() const;

    Shape shape_;
    double symbolSize_;
    double tracking_;
    double padding_ = 0;
    std::function<TopBarButtonFace()> faceOf_;
    TopBarButtonFace face_;
};

class ConsoleTopBarWidget : public QWidget {
    Q_OBJECT
public:
    ConsoleTopBarWidget(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes,
                        std::function<void()> onSettings, QWidget* parent = nullptr);

    // The cards' places; either may be null. The bar takes the widgets over.
    void setCards(QWidget* stripCountCard, QWidget* meterCard);
    // The recording cards: the REC card in full and in its compact form, and the latest-take card;
    // all three or none (null). The bar takes the widgets over.
    void setRecordingCards(QWidget* recCard, QWidget* recCardCompact, QWidget* mainRecordingCard);

    const ConsoleTopBar& model() const { return model_; }
    ConsoleTopBar::Row row() const { return row_; }
    TopBarButton* lockButton() const { return lock_; }
    TopBarButton* clearSoloButton() const { return clearSolo_; }
    TopBarButton* moreMenuButton() const { return more_; }
    TopBarButton* sidebarButton() const { return sidebar_; }
    TopBarButton* settingsButton() const { return settings_; }
    ThemeSwitch* themeSwitch() const { return themeSwitch_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void refresh();
    void place();
    ConsoleTopBar::ItemWidths measure() const;
    QWidget* widgetOf(ConsoleTopBar::Item::Kind kind) const;
    QFont titleFont() const;

    ConsoleTopBar model_;
    ThemeController& themes_;
    ConsoleTopBar::Row row_ = ConsoleTopBar::Row::A;
    QPointer<QWidget> stripCountCard_;
    QPointer<QWidget> meterCard_;
    QPointer<QWidget> recCard_;
    QPointer<QWidget> recCardCompact_;
    QPointer<QWidget> mainRecordingCard_;
    TopBarButton* lock_;  // its full form in rows A and B, its compact form in C and D
    TopBarButton* clearSolo_;
    TopBarButton* more_;
    TopBarButton* sidebar_;
    TopBarButton* settings_;
    ThemeSwitch* themeSwitch_;
    QRectF title_;
    std::vector<QRectF> dividers_;
};

}  // namespace quellor
