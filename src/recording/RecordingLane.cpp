#include "recording/RecordingLane.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>

#include "recording/WavHeaderRepair.h"

namespace quellor {

namespace {

constexpr qint64 kRing = RecordingLane::kRingFrames;
constexpr qint64 kCopyBlock = 65536;  // frames per step when a vanished take is copied

// `name` in `folder`, or "<stem> 2.wav", "<stem> 3.wav"... when that is taken.
QString freePathIn(const QString& folder, const QString& name) {
    const QDir dir(folder);
    const QString stem = QFileInfo(name).completeBaseName();
    QString path = dir.filePath(name);
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(QString("%1 %2.wav").arg(stem).arg(n));
    return path;
}

qint64 ringIndex(qint64 frame) {
    qint64 r = frame % kRing;
    return r < 0 ? r + kRing : r;
}

template <class T>
void raiseTo(std::atomic<T>& field, T value) {
    T current = field.load(std::memory_order_relaxed);
    while (current < value &&
           !field.compare_exchange_weak(current, value, std::memory_order_release, std::memory_order_relaxed)) {
    }
}

}  // namespace

void RecordingLane::SfCloser::operator()(sf_private_tag* file) const { sf_close(file); }

RecordingLane::RecordingLane(QString sourceName, bool isSharedSum, qint64 sizeCeilingBytes)
    : sourceName_(std::move(sourceName)),
      isSharedSum_(isSharedSum),
      sizeCeilingBytes_(sizeCeilingBytes),
      ticksToSeconds_(1e-9),
      writer_(std::make_unique<SerialQueue>("quellor.recorder")) {}

RecordingLane::~RecordingLane() {
    writerTimer_.cancel();
    writer_.reset();  // runs what is queued, then joins
    closeTakeFile();
}

void RecordingLane::closeTakeFile() {
    file_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::uint64_t RecordingLane::hostTimeNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::uint64_t(ts.tv_sec) * 1'000'000'000ULL + std::uint64_t(ts.tv_nsec);
}

std::atomic<std::uint32_t>& RecordingLane::cell(qint64 frame, int channel) const {
    return ring_[2 * ringIndex(frame) + channel];
}

// ---- main thread ----

void RecordingLane::start(std::uint64_t hostTime, double sampleRate) {
    if (armed_.load(std::memory_order_acquire) != 0) return;
    sampleRate_.store(sampleRate, std::memory_order_relaxed);
    writer_->sync([&] {
        if (!ring_) {
            ring_ = std::make_unique<std::atomic<std::uint32_t>[]>(2 * kRing);
        }
        for (qint64 i = 0; i < 2 * kRing; ++i) ring_[i].store(0, std::memory_order_relaxed);
        // Three seconds at this rate: a store sized for 48 kHz would overflow at higher rates.
        const qint64 capacity = kPreRollSeconds * qint64(std::max(sampleRate, 0.0));
        if (qint64(preRoll_.size()) < 2 * capacity) preRoll_.assign(size_t(2 * capacity), 0.0f);
        preRollCapacity_ = capacity;
        preRollWrite_ = 0;
        preRollFilled_ = 0;
        drainedUpTo_.store(0, std::memory_order_release);
    });
    // Positions restart at 0 in a new capture. The marks take the new capture's number before the
    // number is published, so a producer still working in the old capture can no longer raise them
    // (a signal position from it would read as signal far in the future).
    const std::uint32_t next = (generation_.load(std::memory_order_relaxed) + 1) & kCaptureMask;
    highWater_.store(stamped(next, 0), std::memory_order_relaxed);
    lastSignalFrame_.store(stamped(next, -1), std::memory_order_relaxed);
    startHostTime_.store(hostTime, std::memory_order_relaxed);
    generation_.store(next, std::memory_order_release);  // after the start time: see framePosition()
    armed_.store(1, std::memory_order_release);

    writerTimer_.set(Scheduler::current().every(kDrainInterval, alive_.guard([this] {
        // One drain waiting is enough: it takes everything produced by the time it runs.
        if (drainQueued_.exchange(true)) return;
        writer_->async([this] {
            drainQueued_.store(false);
            drain(false);
        });
    })));
    log_.debug("Lane capturing: %s", qPrintable(sourceName_));
}

void RecordingLane::stop() {
    if (armed_.load(std::memory_order_acquire) == 0) return;
    close(0, true);
    armed_.store(0, std::memory_order_release);
    writerTimer_.cancel();
    writer_->sync([] {});  // a drain queued by the timer has finished
    log_.debug("Lane stopped: %s", qPrintable(sourceName_));
}

bool RecordingLane::openTake(const QString& path, bool withPreRoll) {
    if (!isArmed() || takeOpen_) return false;
    bool opened = false;
    writer_->sync([&] {
        drain(true);  // everything so far goes to the pre-roll; the ring is clear up to now
        int fd = -1;
        SNDFILE* file = createWav(path, false, &fd);
        if (!file) return;
        file_.reset(file);
        fd_ = fd;
        vanished_ = false;
        rescueFailing_ = false;
        rescueFolder_ = rescueFolderMain_;
        url_ = path;
        ++takeSerial_;
        bytesWritten_ = 0;
        clipFrames_ = 0;
        stoppedAtSizeLimit_ = false;
        writeFailed_ = false;
        clipStartFrame_ = drainedUpTo_.load(std::memory_order_relaxed);

        if (withPreRoll && preRollFilled_ > 0) {
            const qint64 oldest = (preRollWrite_ - preRollFilled_) % preRollCapacity_;
            const qint64 firstBlock = std::min(preRollFilled_, preRollCapacity_ - oldest);
            const bool ok = writeFrames(preRoll_.data() + 2 * oldest, firstBlock) &&
                            writeFrames(preRoll_.data(), preRollFilled_ - firstBlock);
            if (ok) {
                clipFrames_ = preRollFilled_;
                bytesWritten_ = 8 * preRollFilled_;
                clipStartFrame_ -= preRollFilled_;
                writeSucceeded();
            } else {
                // The take starts at the current position instead; what was written of the pre-roll
                // is overwritten, and cut at close if the take ends before it.
                writeFailed();
                writeFailed_ = true;
                sf_seek(file_.get(), 0, SEEK_SET | SFM_WRITE);
            }
        }
        preRollWrite_ = 0;
        preRollFilled_ = 0;
        takeStart_ = clipStartFrame_;
        takeSerialMain_ = takeSerial_;
        opened = true;
    });
    if (!opened) return false;
    takeOpen_ = true;
    // A new take has heard nothing yet, unless a signal frame already lies inside it (in the
    // pre-roll). Cleared first so that a producer's signal arriving meanwhile is not lost.
    heardAnything_.store(false, std::memory_order_relaxed);
    signalPeak_.store(0, std::memory_order_relaxed);
    const qint64 lastSignal = lastSignalFrame();
    if (lastSignal >= 0 && lastSignal >= takeStart_) heardAnything_.store(true, std::memory_order_relaxed);
    return true;
}

void RecordingLane::close(qint64 endFrame, bool keepAll) {
    if (!takeOpen_) return;
    qint64 kept = 0;
    writer_->sync([&] {
        drain(true);
        kept = keepAll ? clipFrames_ : std::clamp(endFrame - clipStartFrame_, qint64(0), clipFrames_);
        if (vanished_) {
            // The last attempt failed: the take goes with its descriptor. Its old path may name
            // another file by now, which nothing here may touch.
            log_.error("Recording %s lost: no file could be made to keep it", qPrintable(url_));
            postRescue({takeSerial_, url_, {}, true});
            url_.clear();
            kept = 0;
        }
        const QString path = url_;
        closeTakeFile();
        vanished_ = false;
        rescueFailing_ = false;
        // A failed write may have left part of a block past the last good frame.
        if (!path.isEmpty() && (kept < clipFrames_ || writeFailed_)) repairWavHeader(path, kept, 2);
    });
    takeOpen_ = false;
    log_.debug("Lane closed, %lld frames kept", static_cast<long long>(kept));
}

bool RecordingLane::discardIfSilent() {
    QString path;
    writer_->sync([&] { path = url_; });
    if (path.isEmpty() || heardAnything()) return false;
    QFile::remove(path);
    writer_->sync([&] { url_.clear(); });
    log_.debug("Discarded silent lane: %s", qPrintable(sourceName_));
    return true;
}

void RecordingLane::drainNow(bool final) {
    writer_->sync([&] { drain(final); });
}

void RecordingLane::setSizeCeilingHandler(std::function<void(int)> handler) {
    ceilingHandler_ = std::move(handler);
}

void RecordingLane::setRescueHandler(std::function<void(const Rescue&)> handler) {
    rescueHandler_ = std::move(handler);
}

void RecordingLane::setRescueFolder(const QString& folder) { rescueFolderMain_ = folder; }

QString RecordingLane::takePath() const {
    QString path;
    writer_->sync([&] { path = url_; });
    return path;
}

RecordingLane::State RecordingLane::state() const {
    State s;
    writer_->sync([&] {
        s.drainedUpTo = drainedUpTo_.load(std::memory_order_relaxed);
        s.preRollWrite = preRollWrite_;
        s.preRollFilled = preRollFilled_;
        s.preRollCapacity = preRollCapacity_;
        s.bytesWritten = bytesWritten_;
        s.clipFrames = clipFrames_;
        s.clipStartFrame = clipStartFrame_;
        s.stoppedAtSizeLimit = stoppedAtSizeLimit_;
        s.takeSerial = takeSerial_;
        s.url = url_;
    });
    return s;
}

std::vector<float> RecordingLane::preRollFrames() const {
    std::vector<float> out;
    writer_->sync([&] {
        out.reserve(size_t(2 * preRollFilled_));
        for (qint64 k = preRollWrite_ - preRollFilled_; k < preRollWrite_; ++k) {
            const qint64 at = 2 * (k % preRollCapacity_);
            out.push_back(preRoll_[size_t(at)]);
            out.push_back(preRoll_[size_t(at + 1)]);
        }
    });
    return out;
}

// ---- writer queue ----

bool RecordingLane::writeFrames(const float* interleaved, qint64 frames) {
    if (frames <= 0) return true;
    return sf_writef_float(file_.get(), interleaved, frames) == frames;
}

void RecordingLane::writeFailed() {
    if (!writeFailing_) log_.error("Recording write failed: %s", sf_strerror(file_.get()));
    writeFailing_ = true;
}

void RecordingLane::writeSucceeded() {
    if (writeFailing_) log_.info("Recording writes succeed again");
    writeFailing_ = false;
}

SNDFILE* RecordingLane::createWav(const QString& path, bool exclusive, int* fd) {
    SF_INFO info{};
    info.samplerate = int(std::lround(sampleRate_.load(std::memory_order_relaxed)));
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    const QByteArray nativePath = QFile::encodeName(path);
    const bool existed = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    // The descriptor is ours (libsndfile does not close it), so that the writer can ask whether the
    // path still names this file and read the take back through it when it does not.
    const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    const int descriptor = ::open(nativePath.constData(), flags, 0644);
    if (descriptor < 0) {
        log_.error("Could not create recording %s: %s", qPrintable(path), std::strerror(errno));
        return nullptr;
    }
    SNDFILE* file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (!file) {
        log_.error("Could not create recording %s: %s", qPrintable(path), sf_strerror(nullptr));
        ::close(descriptor);
        // The file may have been created before its header could be written (a full disk).
        if (!existed) QFile::remove(path);
        return nullptr;
    }
    // The PEAK chunk would describe the untrimmed take after a short close; leave it out.
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    *fd = descriptor;
    return file;
}

bool RecordingLane::takeFileVanished() const {
    struct stat opened {};
    if (fd_ < 0 || ::fstat(fd_, &opened) != 0) return false;
    if (opened.st_nlink == 0) return true;  // removed (with its folder, or alone)
    struct stat named {};
    if (::stat(QFile::encodeName(url_).constData(), &named) != 0)
        return errno == ENOENT || errno == ENOTDIR;  // an unreadable folder still holds the file
    return named.st_dev != opened.st_dev || named.st_ino != opened.st_ino;  // moved, unmounted, replaced
}

void RecordingLane::postRescue(Rescue rescue) {
    Scheduler::current().post(alive_.guard([this, rescue = std::move(rescue)] {
        if (rescueHandler_) rescueHandler_(rescue);
    }));
}

void RecordingLane::rescueTake(bool final) {
    const QString lost = url_;
    if (!vanished_) {
        vanished_ = true;
        log_.error("Recording %s vanished during the take (its folder was removed, moved or unmounted)",
                   qPrintable(lost));
    }
    // The take's own folder first (back again, or made again), then the rescue folder.
    const QFileInfo where(lost);
    for (const QString& folder : {where.absolutePath(), rescueFolder_}) {
        if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir()) continue;
        if (copyTakeTo(freePathIn(folder, where.fileName()))) {
            vanished_ = false;
            rescueFailing_ = false;
            log_.error("Recording %s kept in %s: %lld frames so far, and the take goes on there", qPrintable(lost),
                       qPrintable(url_), static_cast<long long>(clipFrames_));
            postRescue({takeSerial_, lost, url_, false});
            return;
        }
    }
    if (!rescueFailing_ && !final) {
        log_.error("No file could be made to keep recording %s; the take goes on in memory of the open file "
                   "and is kept as soon as a file can be made",
                   qPrintable(lost));
        postRescue({takeSerial_, lost, {}, false});
    }
    rescueFailing_ = true;
}

bool RecordingLane::copyTakeTo(const QString& path) {
    // Through a description of its own: the writer's file position stays where it is.
    sf_command(file_.get(), SFC_UPDATE_HEADER_NOW, nullptr, 0);
    const int readFd = ::open(("/proc/self/fd/" + QByteArray::number(fd_)).constData(), O_RDONLY | O_CLOEXEC);
    if (readFd < 0) return false;
    SF_INFO readInfo{};
    SNDFILE* source = sf_open_fd(readFd, SFM_READ, &readInfo, SF_FALSE);
    int newFd = -1;
    SNDFILE* target = source && readInfo.channels == 2 ? createWav(path, true, &newFd) : nullptr;
    bool ok = target != nullptr;
    std::vector<float> block;
    for (qint64 done = 0; ok && done < clipFrames_; done += kCopyBlock) {
        const qint64 n = std::min(kCopyBlock, clipFrames_ - done);
        block.assign(size_t(2 * n), 0.0f);  // frames that cannot be read back stay silent, in place
        sf_readf_float(source, block.data(), n);
        ok = sf_writef_float(target, block.data(), n) == n;
    }
    if (source) sf_close(source);
    ::close(readFd);
    if (ok) ok = sf_command(target, SFC_UPDATE_HEADER_NOW, nullptr, 0) == 0 && sf_error(target) == 0;
    if (!ok) {
        if (target) {
            sf_close(target);
            ::close(newFd);
            QFile::remove(path);
        }
        return false;
    }
    closeTakeFile();
    file_.reset(target);
    fd_ = newFd;
    url_ = path;
    return true;
}

void RecordingLane::pushPreRoll(float left, float right) {
    const qint64 capacity = preRollCapacity_;
    if (capacity < 1) return;
    const qint64 at = 2 * (preRollWrite_ % capacity);
    preRoll_[size_t(at)] = left;
    preRoll_[size_t(at + 1)] = right;
    ++preRollWrite_;
    if (preRollFilled_ < capacity) ++preRollFilled_;
}

void RecordingLane::drain(bool final) {
    if (!ring_) return;
    if (file_ && (vanished_ || takeFileVanished())) rescueTake(final);
    const qint64 end = frameOf(highWater_.load(std::memory_order_acquire));
    const qint64 lag = final ? 0 : qint64(sampleRate_.load(std::memory_order_relaxed));
    const qint64 target = end - lag;
    qint64 from = drainedUpTo_.load(std::memory_order_relaxed);
    if (from >= target) return;

    if (target - kRing > from) {
        // Overrun: the writer fell a whole ring behind. Frames older than one ring are lost. Producers
        // stored nothing at or beyond from + ring (those cells still held older frames), so those
        // positions are silence: clear their cells before they are read as new frames.
        const qint64 newFrom = target - kRing;
        for (qint64 f = std::max(newFrom, from + kRing); f < target; ++f) {
            cell(f, 0).store(0, std::memory_order_relaxed);
            cell(f, 1).store(0, std::memory_order_relaxed);
        }
        from = newFrom;
        drainedUpTo_.store(from, std::memory_order_release);
    }
    qint64 n = target - from;

    if (file_ && !stoppedAtSizeLimit_) {
        // The file takes frames up to the ceiling and no further; what is left of this drain goes to
        // the pre-roll like any frames between takes, so a take opened next starts where this ended.
        const qint64 toFile = std::min(n, std::max<qint64>((sizeCeilingBytes_ - bytesWritten_) / 8, 0));
        if (qint64(drainBuffer_.size()) < 2 * toFile) drainBuffer_.resize(size_t(2 * toFile));
        for (qint64 i = 0; i < toFile; ++i) {
            drainBuffer_[size_t(2 * i)] = std::bit_cast<float>(cell(from + i, 0).load(std::memory_order_relaxed));
            drainBuffer_[size_t(2 * i + 1)] = std::bit_cast<float>(cell(from + i, 1).load(std::memory_order_relaxed));
        }
        if (!writeFrames(drainBuffer_.data(), toFile)) {
            // Keep the frames in the ring and put the write position back after the last good frame:
            // the next drain writes the same frames again, in the same place.
            writeFailed();
            sf_seek(file_.get(), clipFrames_, SEEK_SET | SFM_WRITE);
            writeFailed_ = true;
            return;
        }
        writeSucceeded();
        // The header says how long the take is now: a crash leaves a file that plays to here.
        if (toFile > 0) sf_command(file_.get(), SFC_UPDATE_HEADER_NOW, nullptr, 0);
        for (qint64 i = 0; i < toFile; ++i) {
            cell(from + i, 0).store(0, std::memory_order_relaxed);
            cell(from + i, 1).store(0, std::memory_order_relaxed);
        }
        from += toFile;
        n -= toFile;
        drainedUpTo_.store(from, std::memory_order_release);
        clipFrames_ += toFile;
        bytesWritten_ += 8 * toFile;
        // A closing take (final drain) is already ending: no stop to ask for.
        if (sizeCeilingBytes_ - bytesWritten_ < 8 && !final) {
            log_.error("Recording reached WAV's 4 GB ceiling; closing the take");
            stoppedAtSizeLimit_ = true;
            Scheduler::current().post(alive_.guard([this, serial = takeSerial_] {
                if (ceilingHandler_) ceilingHandler_(serial);
            }));
        }
        if (n == 0) return;
    }

    for (qint64 i = 0; i < n; ++i) {
        const float left = std::bit_cast<float>(cell(from + i, 0).exchange(0, std::memory_order_relaxed));
        const float right = std::bit_cast<float>(cell(from + i, 1).exchange(0, std::memory_order_relaxed));
        pushPreRoll(left, right);
    }
    drainedUpTo_.store(target, std::memory_order_release);
}

// ---- realtime producers ----

bool RecordingLane::raiseMark(std::atomic<std::uint64_t>& mark, std::uint32_t capture, qint64 frame) {
    std::uint64_t current = mark.load(std::memory_order_relaxed);
    for (;;) {
        if ((current >> kFrameBits) != capture) return false;
        if (frameOf(current) >= frame) return true;
        if (mark.compare_exchange_weak(current, stamped(capture, frame), std::memory_order_release,
                                       std::memory_order_relaxed))
            return true;
    }
}

CapturePosition RecordingLane::framePosition(std::uint64_t hostTime) const {
    // The capture first: a start stores its start time before it publishes the capture, so the
    // time read here is at least as new as the capture it is tagged with.
    const std::uint32_t capture = generation_.load(std::memory_order_acquire);
    const std::uint64_t start = startHostTime_.load(std::memory_order_relaxed);
    const double ticks = hostTime >= start ? double(hostTime - start) : -double(start - hostTime);
    return {std::llround(ticks * ticksToSeconds_ * sampleRate_.load(std::memory_order_relaxed)), capture};
}

void RecordingLane::addFrames(std::uint64_t hostTime, const float* interleavedStereo, int frames) {
    if (armed_.load(std::memory_order_acquire) == 0) return;
    addFramesAt(framePosition(hostTime), interleavedStereo, frames);
}

void RecordingLane::addFramesAt(CapturePosition at, const float* interleavedStereo, int frames) {
    if (armed_.load(std::memory_order_acquire) == 0 || frames <= 0) return;
    if (at.capture != generation_.load(std::memory_order_acquire)) return;  // computed in an earlier capture
    const qint64 position = at.frame;
    const qint64 writable = drainedUpTo_.load(std::memory_order_acquire);
    const qint64 first = std::max(position, writable);
    const qint64 last = std::min(position + frames, writable + kRing);  // exclusive

    float peak = 0;
    qint64 lastSignal = -1;
    for (qint64 f = first; f < last; ++f) {
        const float* frame = interleavedStereo + 2 * (f - position);
        for (int ch = 0; ch < 2; ++ch) {
            const float sample = frame[ch];
            auto& c = cell(f, ch);
            if (isSharedSum_) {
                std::uint32_t old = c.load(std::memory_order_relaxed);
                while (!c.compare_exchange_weak(old, std::bit_cast<std::uint32_t>(std::bit_cast<float>(old) + sample),
                                                std::memory_order_relaxed)) {
                }
            } else {
                c.store(std::bit_cast<std::uint32_t>(sample), std::memory_order_relaxed);
            }
            const float level = std::fabs(sample);
            if (level > kSignalLevel) {
                lastSignal = f;
                peak = std::max(peak, level);
            }
        }
    }
    // Dropped frames still move the high-water mark: time goes on, and the writer skips ahead.
    raiseMark(highWater_, at.capture, position + frames);
    if (lastSignal >= 0 && raiseMark(lastSignalFrame_, at.capture, lastSignal)) {
        raiseTo(signalPeak_, peak);
        if (!heardAnything_.load(std::memory_order_relaxed)) heardAnything_.store(true, std::memory_order_relaxed);
    }
}

}  // namespace quellor
