#include "setups/SessionManager.h"

#include <algorithm>

#include "base/AtomicFile.h"
#include "base/Observable.h"
#include "engine/ConsoleSlots.h"
#include "setups/SessionTransfer.h"

namespace quellor {

namespace {

// Spaces and tabs only: a line break is part of the name.
QString trimSpacesAndTabs(const QString& text) {
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

}  // namespace

SessionManager::SessionManager(SessionEngine& engine, MixSessionStore store, Clock clock, QObject* parent)
    : QObject(parent),
      engine_(engine),
      store_(std::move(store)),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); })),
      scheduler_(Scheduler::current()),
      writer_([store = store_](const MixSessionFile& file, QString* error) { return store.save(file, error); },
              [this, alive = alive_.weak()] {
          // On the writer thread: the outcome is taken on the main thread.
          scheduler_.post([this, alive] {
              if (alive.lock()) collectWrites();
          });
      }) {
    loadAtStart();
}

SessionManager::~SessionManager() { flush(); }

void SessionManager::loadAtStart() {
    auto loaded = store_.load();
    // A file that cannot be read is kept aside even when its backup loaded: the first save would
    // otherwise replace it, and with it whatever the user can still recover from it.
    setAside_ = MixSessionStore::keepAside(loaded.unreadable);
    for (const auto& [from, to] : setAside_) {
        if (to.isEmpty())
            log_.error("Setups file %s cannot be read and could not be kept aside", qPrintable(from));
        else
            log_.error("Setups file %s cannot be read; kept as %s", qPrintable(from), qPrintable(to));
    }
    startedAfresh_ = !loaded.file;
    MixSessionFile file = loaded.file.value_or(MixSessionFile{});
    sessions_ = std::move(file.sessions);
    currentID_ = file.currentID;

    if (sessions_.empty()) {
        MixSession first;
        first.name = QStringLiteral("Setup 1");
        first.createdAt = first.modifiedAt = now();
        first = captureSession(engine_, first, now());
        currentID_ = first.id;
        sessions_.push_back(std::move(first));
        persist();
    } else if (!currentSession()) {
        currentID_ = sessions_.front().id;
    }
}

int SessionManager::currentIndex() const {
    if (!currentID_) return -1;
    for (std::size_t i = 0; i < sessions_.size(); ++i)
        if (sessions_[i].id == *currentID_) return int(i);
    return -1;
}

std::optional<MixSession> SessionManager::currentSession() const {
    const int index = currentIndex();
    if (index < 0) return std::nullopt;
    return sessions_[index];
}

std::vector<MixSession> SessionManager::recentSessions() const {
    auto sorted = sessions_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const MixSession& a, const MixSession& b) { return a.modifiedAt > b.modifiedAt; });
    return sorted;
}

void SessionManager::setCurrentID(std::optional<QUuid> id) {
    if (assignIfChanged(currentID_, id)) emit currentIDChanged();
}

void SessionManager::persist() {
    captureSave_.cancel();
    writer_.write(MixSessionFile{currentID_, sessions_});
}

void SessionManager::collectWrites() {
    const bool wasFailing = saveFailures_.failing();
    for (const SetupsFileWriter::Outcome& outcome : writer_.takeOutcomes()) {
        if (outcome.ok) {
            unsaved_ = false;
            saveFailures_.succeeded();
        } else {
            // The setups stay in memory: the next change, or the flush at quit, writes them.
            unsaved_ = true;
            if (!saveFailures_.failing()) saveError_ = outcome.error;
            saveFailures_.failed(outcome.error);
        }
    }
    if (saveFailures_.failing() != wasFailing) emit saveFailingChanged();
}

void SessionManager::waitForWrites() {
    writer_.waitUntilIdle();
    collectWrites();
}

void SessionManager::flush() {
    waitForWrites();
    if (!captureSave_.pending() && !unsaved_) return;
    persist();
    waitForWrites();
}

void SessionManager::captureCurrent() {
    const int index = currentIndex();
    if (index < 0) return;
    sessions_[index] = captureSession(engine_, sessions_[index], now());
    emit sessionsChanged();
    // Mix changes come in bursts (a remote surface can send hundreds of slot changes a second):
    // the first one schedules a save and the rest join it, so the file is written a few times a
    // second at most and never falls further behind than kCaptureSaveDelay.
    captureSave_.request(alive_.guard([this] { persist(); }));
}

void SessionManager::appendAndApply(MixSession session) {
    const MixSession applied = session;
    sessions_.push_back(std::move(session));
    emit sessionsChanged();
    // Current first, so the mix changes that applying reports are captured into the new setup.
    setCurrentID(applied.id);
    applySession(engine_, applied);
    persist();
}

void SessionManager::switchTo(const QUuid& id) {
    if (currentID_ == id) return;
    auto found = std::find_if(sessions_.begin(), sessions_.end(), [&](const auto& s) { return s.id == id; });
    if (found == sessions_.end()) return;
    const MixSession target = *found;
    captureCurrent();
    setCurrentID(id);
    applySession(engine_, target);
    persist();
}

void SessionManager::newSetup(const QString& name) {
    captureCurrent();
    MixSession session;
    session.name = uniqueName(name, sessions_);
    session.createdAt = session.modifiedAt = now();
    auto device = engine_.currentOutputDevice();
    if (device) session.mainDeviceUID = device->uid;
    session.stripSlots = defaultConsoleSlots();
    appendAndApply(std::move(session));
}

bool SessionManager::importSetup(const QString& path) {
    // Whoever asked (a menu, the startup screen) shows nothing more: the log says why.
    QByteArray data;
    QString reason;
    if (!readWholeFile(path, data, &reason)) {
        log_.error("Setup %s cannot be imported: %s", qPrintable(path), qPrintable(reason));
        return false;
    }
    auto imported = json::decode<MixSession>(data);
    if (!imported) {
        log_.error("Setup %s cannot be imported: it holds no setup this version can read", qPrintable(path));
        return false;
    }
    captureCurrent();
    imported->id = QUuid::createUuid();
    imported->name = uniqueName(imported->name, sessions_);
    imported->modifiedAt = now();
    appendAndApply(std::move(*imported));
    return true;
}

bool SessionManager::exportSetup(const QString& path) {
    captureCurrent();
    auto current = currentSession();
    if (!current) return false;
    auto data = MixSessionStore::encode(*current);
    return data && MixSessionStore::writeAtomically(path, *data);
}

void SessionManager::duplicateSetup() {
    captureCurrent();
    auto current = currentSession();
    if (!current) return;
    MixSession copy = *current;
    copy.id = QUuid::createUuid();
    copy.name = uniqueName(current->name + QStringLiteral(" copy"), sessions_);
    copy.createdAt = now();
    sessions_.push_back(copy);
    emit sessionsChanged();
    setCurrentID(copy.id);
    persist();
}

void SessionManager::renameSetup(const QString& name) {
    const QString trimmed = trimSpacesAndTabs(name);
    if (trimmed.isEmpty()) return;
    const int index = currentIndex();
    if (index < 0) return;
    sessions_[index].name = trimmed;
    emit sessionsChanged();
    persist();
}

void SessionManager::deleteSetup() {
    if (sessions_.size() < 2 || !currentID_) return;
    const QUuid id = *currentID_;
    const auto remaining = std::count_if(sessions_.begin(), sessions_.end(), [&](const auto& s) { return s.id != id; });
    // A hand-edited file can give several setups one id: never delete them all.
    if (remaining == 0) return;
    std::erase_if(sessions_, [&](const MixSession& s) { return s.id == id; });
    emit sessionsChanged();
    const MixSession next = recentSessions().front();
    setCurrentID(next.id);
    applySession(engine_, next);
    persist();
}

QString SessionManager::uniqueName(const QString& base, const std::vector<MixSession>& sessions) {
    QString trimmed = trimSpacesAndTabs(base);
    if (trimmed.isEmpty()) trimmed = QStringLiteral("Session");
    auto taken = [&](const QString& name) {
        return std::any_of(sessions.begin(), sessions.end(), [&](const auto& s) { return s.name == name; });
    };
    if (!taken(trimmed)) return trimmed;
    for (int n = 2;; ++n) {
        QString candidate = trimmed + u' ' + QString::number(n);
        if (!taken(candidate)) return candidate;
    }
}

}  // namespace quellor
