#pragma once
// The console lock: the Boolean user default "consoleLocked" (false when absent). The top bar's
// lock button and the remote lock command switch it by writing its negation; the console follows
// the default at once, whoever writes it, and the lock survives a restart with the defaults.
//
// The lock acts on the pointer only, and only inside the console's grid: while it is on, the strips'
// controls (faders, readouts, buttons, menus, the menus of empty slots) and strip drags and drops
// ignore the pointer, while the strips keep showing live state. The grid can still be scrolled
// (scrolling changes no mix state), the MAIN mute, which the pane draws above the strips, stays
// usable, and so does the top bar, from which the lock is released. Nothing is dimmed for the lock
// and locking writes nothing to the engine.
//
// Threads: main thread only (the user defaults store).

#include <QObject>
#include <QPointer>
#include <QString>

namespace quellor {

class UserDefaults;

class ConsoleLock : public QObject {
    Q_OBJECT
public:
    static inline const QString kDefaultsKey = QStringLiteral("consoleLocked");

    static bool isLocked(const UserDefaults& defaults);
    static void toggle(UserDefaults& defaults);

    // What the pointer may reach in the console.
    enum class Target {
        StripControl,  // faders, readouts, CUE/SOLO/MUTE, route, name, colour, group, fade and context menus
        SlotMenu,      // the source menu of an empty slot
        StripDrag,     // dragging a strip away
        StripDrop,     // dropping onto a strip
        Scrolling,     // the grid's scroll bar and wheel
        MainMute,
        TopBar,
    };
    static bool takesPointer(Target target, bool locked);

    // Follows "consoleLocked" in `defaults`, which must outlive it.
    explicit ConsoleLock(UserDefaults& defaults, QObject* parent = nullptr);
    bool locked() const { return locked_; }
    bool takesPointer(Target target) const { return takesPointer(target, locked_); }

signals:
    void lockedChanged(bool locked);

private:
    QPointer<UserDefaults> defaults_;
    bool locked_;
};

}  // namespace quellor
