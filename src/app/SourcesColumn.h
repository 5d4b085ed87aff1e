#pragma once
// The main window's sources column: a stack of banners at its top over the source grid. Each banner
// shows and hides itself; the stack takes room only while one of them shows, and anything with
// something to tell the user about the sources may add its banner under the others.
//
// StatusBanners puts two banners on such a column: the capture-permission banner while the engine
// lacks the permission (so a user who answered "Not Now" still sees why the faders do nothing), and
// the update banner while an update is found or staged (a staged one wins).
//
// Threads: main thread only.
#include <QObject>
#include <QString>
#include <QWidget>
#include <optional>

class QVBoxLayout;

namespace quellor {

class MixerEngine;
class ThemeController;
class UpdateBanner;
class UpdateController;

class SourcesColumn : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSidePadding = 14;
    static constexpr int kTopPadding = 12;
    static constexpr int kSpacing = 8;

    // `content` (taken over) fills the column under the banners.
    explicit SourcesColumn(QWidget* content, QWidget* parent = nullptr);

    // Takes `banner` over and places it under the banners already there.
    void addBanner(QWidget* banner);
    QWidget* bannerStack() const;
    QWidget* content() const { return content_; }

private:
    class Stack;
    Stack* stack_;
    QWidget* content_;
};

class StatusBanners : public QObject {
    Q_OBJECT
public:
    StatusBanners(MixerEngine& engine, UpdateController& updater, ThemeController& themes, SourcesColumn& column);

    QWidget* permissionBanner() const { return permission_; }
    // None while there is no update to report.
    UpdateBanner* updateBanner() const { return update_; }

private:
    void refresh();

    MixerEngine& engine_;
    UpdateController& updater_;
    ThemeController& themes_;
    SourcesColumn& column_;
    QWidget* permission_;
    QWidget* updateSlot_;  // keeps the update banner's place in the stack
    UpdateBanner* update_ = nullptr;
};

}  // namespace quellor
