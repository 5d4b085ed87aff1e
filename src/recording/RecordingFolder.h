#pragma once
// The folder recordings are written to: the one the user chose (remembered under the user default
// "recordingFolderBookmark"), else the default folder "Quellor" in the user's music folder (XDG
// user directories), else the user's documents folder.
//
// On this platform a remembered folder is its absolute path (UTF-8 data), and access to it needs no
// grant, so ending access does nothing; the calls stay so that callers pair them as elsewhere.
//
// Threads: main thread (reads and writes the standard user defaults, logs).

#include <QString>

#include <functional>
#include <optional>

namespace quellor {

class RecordingFolder {
public:
    static constexpr const char* kBookmarkKey = "recordingFolderBookmark";
    // Texts of the folder chooser that the user interface shows.
    static constexpr const char* kChooserPrompt = "Choose";
    static constexpr const char* kChooserMessage = "Where should Quellor save recordings?";

    // The chosen folder, or none when none was chosen (silently) or it is no longer usable (logged).
    static std::optional<QString> resolve();
    // The default folder, created if needed; the documents folder when that fails.
    static QString containerFolder();
    // The chosen folder, else the default folder.
    static QString current();
    // Shows the recordings folder (created first) with `open`; by default the desktop's file browser.
    using Opener = std::function<void(const QString& folder)>;
    static void reveal(const Opener& open = {});
    // Lets the user pick a folder with `pick` (none when cancelled) and remembers the choice.
    using Picker = std::function<std::optional<QString>()>;
    static std::optional<QString> choose(const Picker& pick);
    // Remembers a folder; a folder that does not exist is not remembered (logged).
    static void storeBookmark(const QString& folder);
    static void endAccess(const std::optional<QString>& folder);
};

}  // namespace quellor
