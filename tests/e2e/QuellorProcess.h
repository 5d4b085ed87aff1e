#pragma once
// Starts the real quellor binary for whole-program tests: offscreen, a fresh configuration and
// data folder, an optional simulated world file. Waits are bounded reads of its output.

#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <functional>

namespace quellor::test {

class QuellorProcess {
public:
    QuellorProcess();
    ~QuellorProcess();

    QProcessEnvironment& environment() { return env_; }
    QString homePath() const { return home_.path(); }
    QString configPath() const { return home_.path() + "/config"; }
    QString dataPath() const { return home_.path() + "/data"; }
    QString runtimePath() const { return runtime_; }

    // Runs on an X display (the windows become real) instead of offscreen.
    void useDisplay(const QString& display);
    // Uses the home, configuration, data and runtime folders of `other` (a second launch).
    void useFoldersOf(const QuellorProcess& other);
    qint64 pid() const { return process_.processId(); }

    // Writes the user defaults the program will read at start ($XDG_CONFIG_HOME/Quellor/defaults.json).
    void seedDefaults(const QJsonObject& values);
    // A UDP port on 127.0.0.1 that nothing is bound to right now.
    static quint16 freeUdpPort();

    // Runs the program as an ordinary user even when the tests run as root (as CI does), so that
    // file permissions apply to it: as user "nobody", owning the home folder. Without root the
    // program runs as this user anyway.
    void runUnprivileged() { unprivileged_ = true; }
    void start();
    // Waits until the standard error output contains `text` (true) or `seconds` pass (false).
    bool waitForLog(const QString& text, double seconds = 20);
    // Sends a signal and waits for the exit; returns the exit code (-1 when it did not exit).
    int stop(int signal, double seconds = 20);
    int waitForExit(double seconds = 20);
    // Checks `condition` while the program runs, collecting its output between checks; true as
    // soon as it holds, false when `seconds` pass or the program exits first.
    bool waitUntil(const std::function<bool()>& condition, double seconds = 20);
    QString output() const { return output_; }
    QProcess& process() { return process_; }

private:
    void drain();
    QTemporaryDir home_;
    QString runtime_;
    QProcessEnvironment env_;
    QProcess process_;
    QString output_;
    bool unprivileged_ = false;
};

}  // namespace quellor::test
