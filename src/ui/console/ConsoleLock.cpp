#include "ui/console/ConsoleLock.h"

#include "base/UserDefaults.h"

namespace quellor {

bool ConsoleLock::isLocked(const UserDefaults& defaults) { return defaults.boolOr(kDefaultsKey, false); }

void ConsoleLock::toggle(UserDefaults& defaults) { defaults.setBool(kDefaultsKey, !isLocked(defaults)); }

bool ConsoleLock::takesPointer(Target target, bool locked) {
    switch (target) {
    case Target::Scrolling:
    case Target::MainMute:
    case Target::TopBar: return true;
    case Target::StripControl:
    case Target::SlotMenu:
    case Target::StripDrag:
    case Target::StripDrop: return !locked;
    }
    return !locked;
}

ConsoleLock::ConsoleLock(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(&defaults), locked_(isLocked(defaults)) {
    connect(&defaults, &UserDefaults::changed, this, [this](const QString& key) {
        if (key != kDefaultsKey || !defaults_) return;
        const bool locked = isLocked(*defaults_);
        if (locked == locked_) return;
        locked_ = locked;
        emit lockedChanged(locked);
    });
}

}  // namespace quellor
