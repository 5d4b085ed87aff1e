#pragma once
// Where the setups file lives and how it is read and written.
//
// The file is "$XDG_DATA_HOME/Quellor/sessions.json" (~/.local/share when XDG_DATA_HOME is unset
// or not absolute), with the previous version kept beside it as "sessions.json.bak". Setups files
// and single-setup files are UTF-8 JSON, indented, with the members of every object sorted by
// name; floats as their shortest text, dates as seconds since 2001-01-01 UTC, UUIDs upper-case.
//
// save() rewrites the whole file: it makes the folder, encodes (a value that cannot be encoded
// leaves everything on disk as it was), writes the new bytes aside and renames them into place, so
// a reader never sees half a file, and then makes the previous bytes the backup. A failed write
// (a full disk, a file that may not be written) changes neither file and is reported to the caller;
// the setups in memory stay and the next save tries again.
//
// load() tries the file, then its backup; the first that reads and decodes wins, even when it
// holds no setups. Files that exist but cannot be read or decoded are listed, so that the caller
// can keep them aside before its first save (the save would otherwise overwrite them). It also
// removes the temporaries that writes of either file cut short by a kill left behind.
//
// Threads: any; a store is its path and nothing else (the setup manager reads on the main thread and
// saves on its writer thread). Holds no open file.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "setups/MixSessionFile.h"

namespace quellor {

class MixSessionStore {
public:
    explicit MixSessionStore(QString path = defaultPath()) : path_(std::move(path)) {}

    static QString defaultPath();
    const QString& path() const { return path_; }
    QString backupPath() const { return path_ + QStringLiteral(".bak"); }

    // True when the file now holds `file`; otherwise `error` says why.
    bool save(const MixSessionFile& file, QString* error = nullptr) const;

    struct Loaded {
        std::optional<MixSessionFile> file;  // nothing when no candidate decoded
        QStringList unreadable;              // candidates that exist but did not read or decode
    };
    Loaded load() const;

    // Renames each file to "<name>.unreadable" (or ".unreadable.2", ".3" ... when that exists).
    // Returns the pairs (old path, new path); the new path is empty when the rename failed.
    static std::vector<std::pair<QString, QString>> keepAside(const QStringList& paths);

    // The file formatting of a setups file and of a single setup; nothing when not encodable.
    static std::optional<QByteArray> encode(const MixSessionFile& file);
    static std::optional<QByteArray> encode(const MixSession& session);
    // Writes aside and renames into place; no folder is made. False on any failure.
    static bool writeAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);
    // The whole file, or nothing when it cannot be opened or read.
    static std::optional<QByteArray> readAll(const QString& path);

private:
    QString path_;
};

}  // namespace quellor
