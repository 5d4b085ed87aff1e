#pragma once
// Files that are replaced whole or not at all.
//
// writeFileAtomically() writes the new bytes to a temporary file beside the target, checks every
// write, flushes the file to the disk and closes it, and only then renames it over the target. On
// any failure (the folder cannot take a new file, a short write, a full disk, a file-size limit, a
// failed flush or close, a failed rename) the temporary file is removed and the target keeps its
// previous bytes: a full disk never leaves an empty or half-written file in place.
//
// A write that is cut short by a kill leaves its temporary file ("<name>.tmp-<hex>") behind:
// every write first removes the stale temporaries of its own target (removeStaleTemporaries), and
// the readers of the settings and setups files do so at start. A temporary being written is held
// under a lock until it is in place, so a write of the same file in progress elsewhere keeps its
// own.
//
// A target that exists but may not be written by this user is refused, as its owner made it so
// (for example a file left by a run as another user). A symbolic link is followed: the file it
// points to is replaced and the link stays. A replaced file keeps its permission bits.
//
// FailureEpisode turns a failure that repeats on every attempt into one log line: the first failure
// after a success is logged, the following ones are only counted, and the next success ends the
// episode (logged at info level, so that the log says the data is safe again).
//
// Threads: any; the functions hold no state. A FailureEpisode belongs to its owner's thread.

#include <QByteArray>
#include <QString>
#include <optional>

#include "base/Logger.h"

namespace quellor {

// True when `data` is now the whole content of `path`. On failure `error` (when given) receives
// "<path>: <reason>".
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

// Removes the temporary files that interrupted writes of `path` left beside it: regular files
// named "<name>.tmp-" followed by the hexadecimal digits the writer uses, whose writer is gone (no
// lock held on them). Nothing else in the folder is touched. Returns how many were removed.
int removeStaleTemporaries(const QString& path);

// Reads the whole file; false (with the reason in `error`) when it cannot be opened or read.
bool readWholeFile(const QString& path, QByteArray& data, QString* error = nullptr);

// Moves a file that cannot be used out of the way of the next save, keeping its bytes for the user:
// renames it to "<path>.unreadable" (or ".unreadable.2", ".3" ... when that is taken). Returns the
// new path, or nothing when the rename failed.
std::optional<QString> keepFileAside(const QString& path);

class FailureEpisode {
public:
    // `what` names what is saved in the log lines: "Cannot save <what>: <reason>".
    FailureEpisode(Logger log, QString what) : log_(std::move(log)), what_(std::move(what)) {}

    // Logs "Cannot save <what>: <reason>" when this failure starts an episode.
    void failed(const QString& reason);
    // Ends an episode: logs "Saved <what> again" when one was running.
    void succeeded();
    bool failing() const { return failing_; }
    // Failures since the episode began (the logged one included).
    int failures() const { return failures_; }

private:
    Logger log_;
    QString what_;
    bool failing_ = false;
    int failures_ = 0;
};

}  // namespace quellor
