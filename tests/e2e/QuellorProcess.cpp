#include "QuellorProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QUdpSocket>
#include <QDirIterator>
#include <csignal>
#include <grp.h>
#include <unistd.h>

namespace quellor::test {

QuellorProcess::QuellorProcess() : env_(QProcessEnvironment::systemEnvironment()) {
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.insert("HOME", home_.path());
    env_.insert("XDG_CONFIG_HOME", configPath());
    env_.insert("XDG_DATA_HOME", dataPath());
    // The single-instance lock lives here: a test's program never meets another's, nor a copy the
    // developer is running.
    runtime_ = home_.path() + "/runtime";
    QDir().mkpath(runtime_);
    QFile::setPermissions(runtime_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env_.insert("XDG_RUNTIME_DIR", runtime_);
    env_.remove("QUELLOR_WORLD");
    env_.remove("QUELLOR_COMPANION_PORT");
    // No PipeWire server lives in the private runtime folder: the program runs on the built-in
    // simulated world even on a machine whose desktop runs one.
    env_.insert("PIPEWIRE_RUNTIME_DIR", runtime_);
    env_.remove("PIPEWIRE_REMOTE");
    process_.setProcessChannelMode(QProcess::MergedChannels);
}

QuellorProcess::~QuellorProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void QuellorProcess::useDisplay(const QString& display) {
    env_.insert("QT_QPA_PLATFORM", "xcb");
    env_.insert("DISPLAY", display);
}

void QuellorProcess::useFoldersOf(const QuellorProcess& other) {
    for (const char* key : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "PIPEWIRE_RUNTIME_DIR"})
        env_.insert(key, other.env_.value(key));
}

void QuellorProcess::seedDefaults(const QJsonObject& values) {
    QDir().mkpath(configPath() + "/Quellor");
    QFile f(configPath() + "/Quellor/defaults.json");
    if (f.open(QIODevice::WriteOnly)) f.write(QJsonDocument(values).toJson());
}

quint16 QuellorProcess::freeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

void QuellorProcess::start() {
    if (unprivileged_ && ::geteuid() == 0) {
        constexpr uid_t kNobody = 65534;
        QDirIterator it(home_.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        ::chown(QFile::encodeName(home_.path()).constData(), kNobody, kNobody);
        while (it.hasNext()) ::lchown(QFile::encodeName(it.next()).constData(), kNobody, kNobody);
        process_.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
        });
    }
    output_.clear();  // a restart is read afresh
    process_.setProcessEnvironment(env_);
    process_.start(QStringLiteral(QUELLOR_BINARY), {});
    process_.waitForStarted(10000);
}

void QuellorProcess::drain() { output_ += QString::fromUtf8(process_.readAll()); }

bool QuellorProcess::waitForLog(const QString& text, double seconds) {
    QDeadlineTimer deadline(qint64(seconds * 1000));
    drain();
    while (!output_.contains(text)) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) {
            drain();
            return output_.contains(text);
        }
        process_.waitForReadyRead(int(std::max<qint64>(1, std::min<qint64>(deadline.remainingTime(), 200))));
        drain();
    }
    return true;
}

bool QuellorProcess::waitUntil(const std::function<bool()>& condition, double seconds) {
    QDeadlineTimer deadline(qint64(seconds * 1000));
    while (!condition()) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) return condition();
        process_.waitForReadyRead(int(std::max<qint64>(1, std::min<qint64>(deadline.remainingTime(), 50))));
        drain();
    }
    return true;
}

int QuellorProcess::waitForExit(double seconds) {
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(int(seconds * 1000))) return -1;
    drain();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

int QuellorProcess::stop(int signal, double seconds) {
    if (process_.state() == QProcess::NotRunning) return waitForExit(seconds);
    ::kill(pid_t(process_.processId()), signal);
    return waitForExit(seconds);
}

}  // namespace quellor::test
