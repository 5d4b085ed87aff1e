#pragma once
// Keeps the recordings folder under the size cap of the user default "recordingCapGB" (an integer
// number of gigabytes of 1,000,000,000 bytes; 10 when absent; 0 or less turns pruning off).
//
// Recordings are the regular, not hidden files directly in the folder whose name begins with
// "Quellor " and whose extension is "wav" in any case; the hidden waveform caches beside them are
// never listed. Failures never propagate: an unreadable folder counts as empty.
//
// Threads: list() on any thread; prune() on the main thread (it reads the standard user defaults).

#include <QDateTime>
#include <QString>

#include <vector>

namespace quellor {

class RecordingRetention {
public:
    static constexpr const char* kCapKey = "recordingCapGB";
    static constexpr qint64 kDefaultCapGB = 10;

    struct Recording {
        QString path;
        QDateTime date;  // modification date; invalid when unknown
        qint64 bytes = 0;
        bool operator==(const Recording&) const = default;
    };

    static bool isRecordingName(const QString& fileName);
    // Any WAV file by its extension, whatever its name: what the user may have renamed or copied in.
    static bool isWavName(const QString& fileName);
    // The folder's recordings (by default the takes of this program), newest first; equal dates keep
    // the directory's order.
    using NameRule = bool (*)(const QString& fileName);
    static std::vector<Recording> list(const QString& folder, NameRule isListed = isRecordingName);
    // Deletes the oldest recordings while the total is above the cap, logging
    // "Pruned old recording: <name>" for each. A deleted recording's waveform cache goes with it.
    static void prune(const QString& folder);
    // The cap in bytes from the user defaults; a cap too large for 64 bits is clamped.
    static qint64 capBytes();
};

}  // namespace quellor
