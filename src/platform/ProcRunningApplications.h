#pragma once
// Running applications read from /proc.
//
// Linux has no registry of "applications" as such, so the desktop launcher's trail stands in for
// one: a process started from a desktop entry carries GIO_LAUNCHED_DESKTOP_FILE and
// GIO_LAUNCHED_DESKTOP_FILE_PID in its environment. That process is a Regular application whose
// identifier is the desktop entry's id ("org.gnome.Rhythmbox3") and whose name and icon come from
// the entry; its children inherit the identifier but are Accessory. Processes not started that way
// are Accessory and are identified by their executable's file name; processes without a readable
// executable (kernel threads, other users' processes) are Prohibited.
//
// The responsible process is found along the parent chain: the nearest ancestor (or the process
// itself) that the desktop launched; failing that, the outermost ancestor in an unbroken chain of
// the same executable (a browser's content and audio processes under its main process); failing
// that, the process itself. Nothing when the process cannot be read.
//
// Threads: any; nothing is cached.

#include <QStringList>

#include "platform/RunningApplications.h"

namespace quellor {

class ProcRunningApplications : public RunningApplications {
public:
    // `procRoot` is "/proc" outside tests; `ownPid` the process id of this program.
    explicit ProcRunningApplications(QString procRoot = QStringLiteral("/proc"), std::int32_t ownPid = -1);

    std::optional<RunningApplication> application(std::int32_t pid) const override;
    std::vector<RunningApplication> runningApplications() const override;
    std::optional<QString> ownBundleIdentifier() const override;
    std::optional<std::int32_t> responsibleProcess(std::int32_t pid) const override;

private:
    struct Process {
        std::int32_t pid = 0;
        std::int32_t parent = 0;
        QString command;     // the kernel's short name
        QString executable;  // empty when unreadable
        QString desktopFile;
        std::int32_t launchedPid = 0;  // the process the desktop launched, 0 when unknown
        bool launchedByDesktop() const { return launchedPid == pid && !desktopFile.isEmpty(); }
    };
    std::optional<Process> read(std::int32_t pid) const;
    QString path(std::int32_t pid, const char* leaf) const;

    QString root_;
    std::int32_t ownPid_;
};

}  // namespace quellor
