// The list of the newest recordings: what a listing shows, the waveform caches it uses, which of
// overlapping refreshes wins, the picked take, and the moments a refresh happens by itself.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "FakeRecorder.h"
#include "../../recording/WavFiles.h"
#include "EngineFixture.h"
#include "recording/RecordingFolder.h"
#include "recording/WaveformPeakCache.h"
#include "ui/settings/LatestRecordingModel.h"

namespace quellor {
namespace {

using Peaks = std::vector<std::uint8_t>;
const QDateTime kDay(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);

class LatestRecordingModelTest : public test::EngineFixture {
protected:
    LatestRecordingModelTest() {
        model = std::make_unique<LatestRecordingModel>(
            LatestRecordingModel::Folders{[this] { return chosen; }, [this] { return container.path(); },
                                          [this](const std::optional<QString>& f) { ended << f.value_or("none"); }},
            [this](std::function<void()> job) { jobs.push_back(std::move(job)); });
    }
    // A 0.1 s stereo recording at a constant level, modified on `day`.
    QString recording(const QString& folder, const QString& name, int day, float level = 0.5f) {
        const QString path = QDir(folder).filePath(name);
        EXPECT_TRUE(test::writeWav(path, std::vector<float>(2 * 4800, level)));
        touch(path, kDay.addDays(day));
        return path;
    }
    static void touch(const QString& path, const QDateTime& when) { EXPECT_TRUE(test::touch(path, when)); }
    // Runs the background listings in the order given (all when none), then their reports.
    void finish(std::vector<int> order = {}) {
        if (order.empty())
            for (int i = 0; i < int(jobs.size()); ++i) order.push_back(i);
        auto pending = std::move(jobs);
        jobs.clear();
        for (int i : order) pending[size_t(i)]();
        scheduler().runPending();
    }
    QStringList listedNames() const {
        QStringList names;
        for (const auto& e : model->entries()) names << QFileInfo(e.info.file).fileName();
        return names;
    }

    test::FakeRecorder recorder{[this] { return hardware.io().hostTimeNow(); }};
    QTemporaryDir container;
    std::optional<QString> chosen;
    QStringList ended;
    std::vector<std::function<void()>> jobs;
    std::unique_ptr<LatestRecordingModel> model;
};

TEST_F(LatestRecordingModelTest, ListsTheFortyNewestWithTheirWaveforms) {
    model->refresh();
    finish();
    EXPECT_TRUE(model->entries().empty());
    EXPECT_FALSE(model->info());
    EXPECT_TRUE(model->peaks().empty());
    EXPECT_FALSE(model->selectedFile());

    for (int day = 0; day < 41; ++day) recording(container.path(), QString("take %1.wav").arg(day, 2, 10, QChar('0')), day);
    // A valid cache is taken as it is (a recomputed waveform would read 128 everywhere).
    const QString cached = container.filePath("take 39.wav");
    QFile cache(WaveformPeakCache::cachePath(cached));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.write(QByteArray(80, 7));
    cache.close();
    touch(cache.fileName(), kDay.addDays(39));

    model->refresh();
    finish();
    ASSERT_EQ(model->entries().size(), 40u);
    EXPECT_EQ(listedNames().front(), "take 40.wav");
    EXPECT_EQ(listedNames().back(), "take 01.wav");
    EXPECT_EQ(model->info(), model->entries().front().info);
    EXPECT_EQ(model->peaks(), Peaks(80, 128));
    EXPECT_EQ(model->entries()[1].peaks, Peaks(80, 7));
    // Every other waveform was computed and cached beside its recording.
    EXPECT_TRUE(QFileInfo(container.filePath(".take 40.80avg.peaks")).size() == 80);
    EXPECT_FALSE(QFileInfo::exists(container.filePath(".take 00.80avg.peaks")));  // not listed
}

TEST_F(LatestRecordingModelTest, OnlyTheNewestRefreshIsApplied) {
    QTemporaryDir other;
    recording(container.path(), "first.wav", 1);
    model->refresh();
    chosen = other.path();
    recording(other.path(), "second.wav", 1);
    recording(other.path(), "third.wav", 2);
    model->refresh();
    EXPECT_EQ(model->generation(), 2);
    finish({1, 0});  // the older listing reports last
    EXPECT_EQ(listedNames(), QStringList({"third.wav", "second.wav"}));
    EXPECT_EQ(model->folder(), other.path());

    // The chosen folder's access is held until the next refresh ends it.
    EXPECT_TRUE(ended.isEmpty());
    chosen.reset();
    model->refresh();
    EXPECT_EQ(ended, QStringList({other.path()}));
    finish();
    EXPECT_EQ(listedNames(), QStringList({"first.wav"}));
}

TEST_F(LatestRecordingModelTest, APickedTakeStaysShownWhileItIsListed) {
    recording(container.path(), "old.wav", 1, 0.25f);
    const QString newest = recording(container.path(), "new.wav", 2);
    model->refresh();
    finish();
    const auto picked = model->entries()[1];
    model->select(picked);
    EXPECT_EQ(model->info(), picked.info);

    recording(container.path(), "newer.wav", 3);
    model->refresh();
    finish();
    EXPECT_EQ(model->selectedFile(), picked.info.file);
    EXPECT_EQ(model->info(), picked.info);
    EXPECT_EQ(model->peaks(), Peaks(80, 64));

    QFile::remove(picked.info.file);
    model->refresh();
    finish();
    EXPECT_FALSE(model->selectedFile());
    EXPECT_EQ(QFileInfo(model->info()->file).fileName(), "newer.wav");
    EXPECT_EQ(model->peaks(), Peaks(80, 128));
    EXPECT_TRUE(QFile::exists(newest));
}

TEST_F(LatestRecordingModelTest, AListingThatOutlivesItsModelChangesNothing) {
    recording(container.path(), "take.wav", 1);
    model->refresh();
    model.reset();
    finish();  // its report reaches no model (the sanitizers see any touch of the freed one)
    EXPECT_TRUE(jobs.empty());
}

TEST_F(LatestRecordingModelTest, RefreshesWhenATakeEndsAndWhenTheFolderChanges) {
    engine().setRecorder(&recorder);
    hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2));
    startEngine();
    model->follow(engine(), defaults());
    model->refresh();
    finish();
    const int start = model->generation();

    engine().startRecording();
    ASSERT_TRUE(engine().isRecording());
    EXPECT_EQ(model->generation(), start);  // a take that starts is not yet worth listing
    engine().stopRecording();
    EXPECT_EQ(model->generation(), start + 1);

    defaults().setData(RecordingFolder::kBookmarkKey, QByteArray("/elsewhere"));
    EXPECT_EQ(model->generation(), start + 2);
    defaults().setBool("unrelated", true);
    EXPECT_EQ(model->generation(), start + 2);

    // Changes on disk wait for the folder to be quiet: a take being written is listed once.
    model->folderContentsChanged();
    advance(LatestRecordingModel::kQuietSeconds * 0.8);
    model->folderContentsChanged();
    advance(LatestRecordingModel::kQuietSeconds * 0.8);
    EXPECT_EQ(model->generation(), start + 2);
    advance(LatestRecordingModel::kQuietSeconds * 0.3);
    EXPECT_EQ(model->generation(), start + 3);
}

TEST_F(LatestRecordingModelTest, WatchesTheListedFolderAndItsNewestRecording) {
    model->refresh();
    finish();
    EXPECT_EQ(model->watchedPaths(), QStringList({QDir(container.path()).absolutePath()}));
    recording(container.path(), "old.wav", 1);
    const QString newest = recording(container.path(), "new.wav", 2);
    model->refresh();
    finish();
    EXPECT_EQ(model->watchedPaths(), QStringList({QDir(container.path()).absolutePath(), newest}));

    chosen = container.filePath("missing");  // a folder that is not there is not watched
    model->refresh();
    finish();
    EXPECT_TRUE(model->watchedPaths().isEmpty());
}

}  // namespace
}  // namespace quellor
