#pragma once
// Puts two banners on the sources column: the capture-permission banner while the engine lacks the
// permission (so a user who answered "Not Now" still sees why the faders do nothing), and the update
// banner while an update is found or staged (a staged one wins).
//
// Threads: main thread only.
#include <QObject>
#include <QWidget>

namespace quellor {

class MixerEngine;
class SourcesColumn;
class ThemeController;
class UpdateBanner;
class UpdateController;

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
