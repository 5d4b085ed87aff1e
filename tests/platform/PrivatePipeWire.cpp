#include "PrivatePipeWire.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QThread>

namespace quellor::test {

namespace {

const QStringList kPrograms{"dbus-daemon", "pipewire", "wireplumber", "pipewire-pulse", "pw-play",
                            "pw-dump",     "wpctl",    "paplay",      "sox",     "pw-record", "pw-loopback"};

QString sinkObject(const char* name, const char* description, const char* positions) {
    return QStringLiteral("  { factory = adapter\n"
                          "    args = { factory.name = support.null-audio-sink node.name = \"%1\"\n"
                          "             node.description = \"%2\" media.class = Audio/Sink\n"
                          "             audio.position = [ %3 ] audio.rate = 48000 object.linger = true } }\n")
        .arg(name, description, positions);
}

}  // namespace

std::optional<QString> PrivatePipeWire::missingProgram() {
    for (const QString& program : kPrograms)
        if (QStandardPaths::findExecutable(program).isEmpty()) return program;
    return std::nullopt;
}

PrivatePipeWire::PrivatePipeWire() : env_(QProcessEnvironment::systemEnvironment()) {
    const QString root = folder_.path();
    const QString runtime = root + "/runtime";
    for (const QString& dir : {runtime, root + "/config/pipewire/pipewire.conf.d", root + "/state", root + "/home"})
        QDir().mkpath(dir);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile dropIn(root + "/config/pipewire/pipewire.conf.d/test-sinks.conf");
    if (dropIn.open(QIODevice::WriteOnly))
        dropIn.write((QStringLiteral("context.objects = [\n") + sinkObject(kStereoSink, "Test Stereo", "FL FR") +
                      sinkObject(kQuadSink, "Test Quad", "FL FR RL RR") + "]\n")
                         .toUtf8());
    dropIn.close();
    // The private session manager keeps its hands off the machine's sound cards, cameras and
    // Bluetooth: the only devices it sees are the null sinks.
    const QString wireplumber = root + "/config/wireplumber";
    for (const auto& [folder, text] : {std::pair{QStringLiteral("main.lua.d"),
                                                 QStringLiteral("alsa_monitor.enabled = false\n"
                                                                "v4l2_monitor.enabled = false\n"
                                                                "libcamera_monitor.enabled = false\n")},
                                       std::pair{QStringLiteral("bluetooth.lua.d"),
                                                 QStringLiteral("bluez_monitor.enabled = false\n")}}) {
        QDir().mkpath(wireplumber + "/" + folder);
        QFile script(wireplumber + "/" + folder + "/51-private-test-session.lua");
        if (script.open(QIODevice::WriteOnly)) script.write(text.toUtf8());
    }
    env_.insert("XDG_RUNTIME_DIR", runtime);
    env_.insert("PIPEWIRE_RUNTIME_DIR", runtime);
    env_.insert("XDG_CONFIG_HOME", root + "/config");
    env_.insert("XDG_STATE_HOME", root + "/state");
    env_.insert("HOME", root + "/home");
    env_.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/bus");
    for (const char* key : {"PIPEWIRE_REMOTE", "PULSE_SERVER", "PULSE_RUNTIME_PATH", "DISPLAY", "WAYLAND_DISPLAY"})
        env_.remove(key);

    // This process connects to the private server too.
    hadRuntime_ = qEnvironmentVariableIsSet("PIPEWIRE_RUNTIME_DIR");
    savedRuntime_ = qgetenv("PIPEWIRE_RUNTIME_DIR");
    hadRemote_ = qEnvironmentVariableIsSet("PIPEWIRE_REMOTE");
    savedRemote_ = qgetenv("PIPEWIRE_REMOTE");
    qputenv("PIPEWIRE_RUNTIME_DIR", runtime.toUtf8());
    qunsetenv("PIPEWIRE_REMOTE");

    bus_ = std::make_unique<QProcess>();
    bus_->setProcessEnvironment(env_);
    bus_->start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + runtime + "/bus"});
    if (!bus_->waitForStarted(5000) ||
        !waitUntil([&] { return QFile::exists(runtime + "/bus"); }, {}, 10.0)) {
        error_ = "the session bus did not start";
        return;
    }
    if (!startServers()) error_ = "PipeWire did not come up with both test sinks";
}

PrivatePipeWire::~PrivatePipeWire() {
    for (auto& tool : tools_) {
        tool->kill();
        tool->waitForFinished(5000);
    }
    stopServers();
    if (bus_) {
        bus_->terminate();
        if (!bus_->waitForFinished(5000)) bus_->kill();
    }
    if (hadRuntime_)
        qputenv("PIPEWIRE_RUNTIME_DIR", savedRuntime_);
    else
        qunsetenv("PIPEWIRE_RUNTIME_DIR");
    if (hadRemote_) qputenv("PIPEWIRE_REMOTE", savedRemote_);
}

QProcess& PrivatePipeWire::start(const QString& program, const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env_);
    // What the programs say goes to files in the private folder, for a failing test to look at.
    const QString log = folder_.path() + "/" + QFileInfo(program).fileName() + ".log";
    process->setStandardOutputFile(log, QIODevice::Append);
    process->setStandardErrorFile(log, QIODevice::Append);
    process->start(program, arguments);
    process->waitForStarted(5000);
    return *process.release();
}

bool PrivatePipeWire::stopServers() {
    // The session manager and the PulseAudio server go before the server they are clients of.
    for (auto it = servers_.rbegin(); it != servers_.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(5000)) {
            (*it)->kill();
            (*it)->waitForFinished(5000);
        }
    }
    servers_.clear();
    return true;
}

bool PrivatePipeWire::startServers() {
    const QString socket = env_.value("PIPEWIRE_RUNTIME_DIR") + "/pipewire-0";
    servers_.emplace_back(&start("pipewire", {}));
    if (!waitUntil([&] { return QFile::exists(socket); }, {}, 10.0)) return false;
    servers_.emplace_back(&start("wireplumber", {}));
    servers_.emplace_back(&start("pipewire-pulse", {}));
    return waitUntil([&] { return serversReady(); });
}

bool PrivatePipeWire::serversReady() {
    if (!QFile::exists(env_.value("XDG_RUNTIME_DIR") + "/pulse/native")) return false;
    const QString status = run("wpctl", {"status"});
    if (!status.contains("Test Stereo") || !status.contains("Test Quad")) return false;
    // The session manager has chosen a default sink.
    return !run("wpctl", {"inspect", "@DEFAULT_AUDIO_SINK@"}).isEmpty();
}

QString PrivatePipeWire::run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(env_);
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QProcess& PrivatePipeWire::launch(const QString& program, const QStringList& arguments) {
    tools_.emplace_back(&start(program, arguments));
    return *tools_.back();
}

QString PrivatePipeWire::toneFile() {
    const QString path = folder_.path() + "/tone.wav";
    if (!QFile::exists(path)) run("sox", {"-n", "-r", "48000", "-c", "2", "-b", "16", path, "synth", "60", "sine", "440"});
    return path;
}

int PrivatePipeWire::nodeID(const QString& nodeName) {
    const QJsonArray objects = QJsonDocument::fromJson(run("pw-dump", {}).toUtf8()).array();
    for (const QJsonValue& o : objects) {
        const QJsonObject props = o["info"]["props"].toObject();
        if (props["node.name"].toString() == nodeName) return o["id"].toInt();
    }
    return 0;
}

bool PrivatePipeWire::waitUntil(const std::function<bool()>& condition, const std::function<void()>& turn,
                                double seconds) {
    QDeadlineTimer deadline(qint64(seconds * 1000));
    while (true) {
        if (turn) turn();
        if (condition()) return true;
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
}

}  // namespace quellor::test
