#include "app/UserNotices.h"

#include <QDir>
#include <QPointer>
#include <algorithm>

#include "recording/MixRecorder.h"
#include "setups/SessionManager.h"

namespace quellor {

void UserNotices::follow(SessionManager& sessions) {
    setupsSetAside(sessions.setAsideAtStart(), sessions.startedAfresh());
    setupsSaveFailing(sessions.saveFailing(), sessions.saveError());
    connect(&sessions, &SessionManager::saveFailingChanged, this,
            [this, &sessions] { setupsSaveFailing(sessions.saveFailing(), sessions.saveError()); });
}

void UserNotices::follow(MixRecorder& recorder) {
    // The recorder may outlive this object.
    recorder.setRescueHandler([notices = QPointer<UserNotices>(this)](const RecordingLane::Rescue& rescue) {
        if (notices) notices->recordingRescued(rescue);
    });
}

void UserNotices::setupsSetAside(const std::vector<std::pair<QString, QString>>& setAside, bool startedAfresh) {
    if (setAside.empty()) return;
    QStringList kept, notKept;
    for (const auto& [from, to] : setAside) {
        if (to.isEmpty()) notKept << QDir::toNativeSeparators(from);
        else kept << QDir::toNativeSeparators(to);
    }
    QStringList detail{startedAfresh ? tr("Quellor started with a new setup.") : tr("Quellor opened their backup copy.")};
    if (!kept.isEmpty()) detail << tr("The unreadable files were kept as %1.").arg(kept.join(tr(" and ")));
    if (!notKept.isEmpty())
        detail << tr("%1 could not be moved aside and will be replaced.").arg(notKept.join(tr(" and ")));
    show({Kind::SetupsSetAside, tr("Your setups could not be read"), detail.join(QLatin1Char(' '))});
}

void UserNotices::setupsSaveFailing(bool failing, const QString& error) {
    if (failing == saveFailing_) return;
    saveFailing_ = failing;
    if (!failing) return remove(Kind::SetupsNotSaved);
    show({Kind::SetupsNotSaved, tr("Your setups cannot be saved"),
          tr("%1. Quellor keeps them and saves them as soon as it can.").arg(error)});
}

void UserNotices::recordingRescued(const RecordingLane::Rescue& rescue) {
    const QString lost = QDir::toNativeSeparators(rescue.vanishedPath);
    if (rescue.lost) {
        show({Kind::RecordingVanished, tr("A recording was lost"),
              tr("The folder of %1 disappeared and no other file could be made to keep the take.").arg(lost)});
    } else if (rescue.keptPath.isEmpty()) {
        show({Kind::RecordingVanished, tr("A recording's folder disappeared"),
              tr("No file can be made to keep %1 yet; Quellor keeps recording and saves the take as soon as it "
                 "can.")
                  .arg(lost)});
    } else {
        show({Kind::RecordingVanished, tr("A recording's folder disappeared"),
              tr("The take was kept in %1.").arg(QDir::toNativeSeparators(rescue.keptPath))});
    }
}

void UserNotices::dismiss(Kind kind) { remove(kind); }

void UserNotices::show(Notice notice) {
    const auto same = std::find_if(notices_.begin(), notices_.end(), [&](auto& n) { return n.kind == notice.kind; });
    if (same != notices_.end()) {
        if (*same == notice) return;
        *same = std::move(notice);
    } else {
        notices_.push_back(std::move(notice));
    }
    emit changed();
}

void UserNotices::remove(Kind kind) {
    const auto end = std::remove_if(notices_.begin(), notices_.end(), [&](auto& n) { return n.kind == kind; });
    if (end == notices_.end()) return;
    notices_.erase(end, notices_.end());
    emit changed();
}

}  // namespace quellor
