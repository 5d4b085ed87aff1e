#include "ui/settings/LatestRecordingModel.h"

#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

#include "base/Observable.h"
#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "recording/RecordingFolder.h"
#include "recording/WaveformPeakCache.h"

namespace quellor {

static_assert(LatestRecordingModel::kBins == WaveformPeakCache::kBins, "the cache holds the model's bins");

LatestRecordingModel::Folders LatestRecordingModel::Folders::standard() {
    return {[] { return RecordingFolder::resolve(); }, [] { return RecordingFolder::containerFolder(); },
            [](const std::optional<QString>& folder) { RecordingFolder::endAccess(folder); }};
}

LatestRecordingModel::BackgroundRunner LatestRecordingModel::threadPool() {
    return [](std::function<void()> job) { QThreadPool::globalInstance()->start(std::move(job)); };
}

LatestRecordingModel::LatestRecordingModel(Folders folders, BackgroundRunner background, QObject* parent)
    : QObject(parent), folders_(std::move(folders)), background_(std::move(background)), scheduler_(&Scheduler::current()) {
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &LatestRecordingModel::folderContentsChanged);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &LatestRecordingModel::folderContentsChanged);
}

LatestRecordingModel::~LatestRecordingModel() {
    if (scoped_) folders_.endAccess(scoped_);
}

std::vector<LatestRecordingModel::Entry> LatestRecordingModel::list(const QString& folder) {
    std::vector<Entry> entries;
    for (auto& info : LatestRecording::recordings(folder, kLimit)) {
        auto peaks = WaveformPeakCache::peaks(info.file);
        entries.push_back({std::move(info), std::move(peaks)});
    }
    return entries;
}

void LatestRecordingModel::refresh() {
    const int generation = ++generation_;
    if (scoped_) {
        folders_.endAccess(scoped_);
        scoped_.reset();
    }
    scoped_ = folders_.resolveChosen();
    folder_ = scoped_.value_or(folders_.container());
    watch(folder_, entries_.empty() ? QString() : entries_.front().info.file);
    background_([this, generation, folder = folder_, scheduler = scheduler_, alive = alive_.weak()] {
        auto entries = list(folder);
        scheduler->post([this, generation, alive, entries = std::move(entries)]() mutable {
            if (alive.lock()) apply(generation, std::move(entries));
        });
    });
}

void LatestRecordingModel::apply(int generation, std::vector<Entry> entries) {
    if (generation != generation_) return;
    entries_ = std::move(entries);
    watch(folder_, entries_.empty() ? QString() : entries_.front().info.file);
    if (selectedFile_) {
        for (const Entry& entry : entries_) {
            if (entry.info.file != *selectedFile_) continue;
            show(entry.info, entry.peaks);
            return;
        }
        selectedFile_.reset();
        emit selectedFileChanged();
    }
    if (entries_.empty()) {
        show(std::nullopt, {});
    } else {
        show(entries_.front().info, entries_.front().peaks);
    }
}

void LatestRecordingModel::select(const Entry& entry) {
    if (assignIfChanged(selectedFile_, std::optional<QString>(entry.info.file))) emit selectedFileChanged();
    show(entry.info, entry.peaks);
}

void LatestRecordingModel::show(const std::optional<LatestRecording::Info>& info, std::vector<std::uint8_t> peaks) {
    if (assignIfChanged(info_, info)) emit infoChanged();
    if (assignIfChanged(peaks_, std::move(peaks))) emit peaksChanged();
}

void LatestRecordingModel::follow(MixerEngine& engine, UserDefaults& defaults) {
    // The take is closed (its file complete) by the time the engine reports the end of a recording.
    connect(&engine, &MixerEngine::isRecordingChanged, this, [this, engine = &engine] {
        if (!engine->isRecording()) refresh();
    });
    connect(&defaults, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == QLatin1String(RecordingFolder::kBookmarkKey)) refresh();
    });
}

void LatestRecordingModel::watch(const QString& folder, const QString& newest) {
    QStringList wanted;
    if (QFileInfo(folder).isDir()) wanted << QDir(folder).absolutePath();
    if (!newest.isEmpty() && QFileInfo::exists(newest)) wanted << newest;
    const QStringList now = watchedPaths();
    if (now == wanted) return;
    if (!now.isEmpty()) watcher_.removePaths(now);
    if (!wanted.isEmpty()) watcher_.addPaths(wanted);
}

QStringList LatestRecordingModel::watchedPaths() const { return watcher_.directories() + watcher_.files(); }

void LatestRecordingModel::folderContentsChanged() {
    // Each change starts the quiet period again: a take being written (its header is rewritten
    // several times a second) is listed once it has stopped changing.
    quietTask_.set(scheduler_->after(kQuietSeconds, [this, alive = alive_.weak()] {
        if (!alive.lock()) return;
        quietTask_.clear();
        refresh();
    }));
}

}  // namespace quellor
