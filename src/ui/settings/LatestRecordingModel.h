#pragma once
// The newest recordings of the recordings folder with their waveforms, for the views that show the
// latest take. A listing reads at most 40 recordings and keeps 80 averaged waveform bins per
// recording, taken from the hidden cache file beside it when that is valid, else computed and
// cached (WaveformPeakCache).
//
// What is shown as "the latest" is the picked take while one is picked and still listed, else the
// newest recording. Every refresh carries a number; a listing that finishes after a newer refresh
// began is dropped, whatever order the background listings finish in.
//
// Refresh moments: whoever shows the model calls refresh() once at start and after a folder choice;
// follow() adds the end of each recording the engine makes, a change of the chosen folder, and
// changes on disk: files added to or removed from the listed folder, and a newest recording that
// stops changing (a take that auto-record closed), each after the folder has been quiet for a
// moment, so that a take being written is not listed again and again.
//
// Threads: main thread only. Listings run through the background runner and report back through
// the scheduler current at construction; both must outlive every listing handed to them (the
// application finishes its thread pool before the scheduler goes). A listing whose model is gone
// changes nothing.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/Scheduler.h"
#include "recording/LatestRecording.h"

namespace quellor {

class MixerEngine;
class UserDefaults;

class LatestRecordingModel : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimit = 40;
    static constexpr int kBins = 80;
    // How long the folder must stay unchanged before a change on disk lists it again.
    static constexpr double kQuietSeconds = 1.0;

    struct Entry {
        LatestRecording::Info info;
        std::vector<std::uint8_t> peaks;  // kBins levels, or empty when the waveform cannot be read
        bool operator==(const Entry&) const = default;
    };

    // Where recordings are: the chosen folder (its access held until the next refresh), else the
    // default folder.
    struct Folders {
        std::function<std::optional<QString>()> resolveChosen;
        std::function<QString()> container;
        std::function<void(const std::optional<QString>&)> endAccess;
        static Folders standard();
    };
    using BackgroundRunner = std::function<void(std::function<void()> job)>;
    static BackgroundRunner threadPool();

    explicit LatestRecordingModel(Folders folders = Folders::standard(), BackgroundRunner background = threadPool(),
                                  QObject* parent = nullptr);
    ~LatestRecordingModel() override;

    const std::optional<LatestRecording::Info>& info() const { return info_; }
    const std::vector<std::uint8_t>& peaks() const { return peaks_; }
    const std::vector<Entry>& entries() const { return entries_; }
    const std::optional<QString>& selectedFile() const { return selectedFile_; }
    int generation() const { return generation_; }
    // The folder of the most recent refresh; empty before the first.
    const QString& folder() const { return folder_; }

    // Starts a new listing; the fields change later, on the main thread.
    void refresh();
    // Shows `entry` as the latest until a refresh no longer lists its file.
    void select(const Entry& entry);

    // Refreshes when a recording of `engine` ends, when the chosen folder in `defaults` changes and
    // when the listed folder changes on disk (see above). Both must outlive the model.
    void follow(MixerEngine& engine, UserDefaults& defaults);
    // What is watched on disk: the listed folder and its newest recording.
    QStringList watchedPaths() const;
    // A change on disk was seen: a refresh follows once the folder has been quiet for kQuietSeconds.
    void folderContentsChanged();

    // The listing itself, in the order it gives (newest first). Any thread; reads and writes files.
    static std::vector<Entry> list(const QString& folder);

signals:
    void infoChanged();
    void peaksChanged();
    void selectedFileChanged();

private:
    void apply(int generation, std::vector<Entry> entries);
    void show(const std::optional<LatestRecording::Info>& info, std::vector<std::uint8_t> peaks);
    void watch(const QString& folder, const QString& newest);

    Folders folders_;
    BackgroundRunner background_;
    Scheduler* scheduler_;
    std::optional<LatestRecording::Info> info_;
    std::vector<std::uint8_t> peaks_;
    std::vector<Entry> entries_;
    std::optional<QString> selectedFile_;
    int generation_ = 0;
    std::optional<QString> scoped_;
    QString folder_;
    QFileSystemWatcher watcher_;
    TaskSlot quietTask_;
    Liveness alive_;
};

}  // namespace quellor
