#pragma once
// A PipeWire server of the test's own: a session bus, PipeWire, WirePlumber and the PulseAudio
// server, all with runtime, configuration and state folders in a temporary folder, and two null
// sinks from a configuration drop-in: "quellor-test-stereo" (2 channels) and "quellor-test-quad"
// (4 channels), both at 48 kHz. The user's own session is never touched: every program started
// here, and this test process while the fixture lives, see only the private folders, and the
// session manager leaves the machine's sound cards, cameras and Bluetooth alone.
//
// Waits are bounded polls on what the servers report, never fixed sleeps.
//
// Threads: the test's thread.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quellor::test {

class PrivatePipeWire {
public:
    static constexpr const char* kStereoSink = "quellor-test-stereo";
    static constexpr const char* kQuadSink = "quellor-test-quad";

    // The first program of the set that is not installed; nothing when all are.
    static std::optional<QString> missingProgram();

    // Starts everything and waits for both sinks and a default sink; ok() tells whether it worked.
    PrivatePipeWire();
    ~PrivatePipeWire();
    PrivatePipeWire(const PrivatePipeWire&) = delete;
    PrivatePipeWire& operator=(const PrivatePipeWire&) = delete;

    bool ok() const { return error_.isEmpty(); }
    // The private session's environment, for programs started elsewhere.
    const QProcessEnvironment& environment() const { return env_; }
    QString error() const { return error_; }

    // Stops the servers (the session bus stays) and starts them again; false when they did not
    // come back.
    bool stopServers();
    bool startServers();

    // Runs a tool in the private session to its end; its standard output (empty on failure).
    QString run(const QString& program, const QStringList& arguments);
    // Starts a long-running tool (a player) in the private session.
    QProcess& launch(const QString& program, const QStringList& arguments);
    // A 48 kHz stereo sine tone of 60 s in the temporary folder.
    QString toneFile();
    // The temporary folder the servers' files and logs live in.
    QString folder() const { return folder_.path(); }
    // The registry id of the node with this node.name; 0 when there is none.
    int nodeID(const QString& nodeName);

    // Polls `condition`, running `turn` between checks, until it holds or `seconds` of wall time pass.
    static bool waitUntil(const std::function<bool()>& condition, const std::function<void()>& turn = {},
                          double seconds = 20.0);

private:
    QProcess& start(const QString& program, const QStringList& arguments);
    bool serversReady();

    QTemporaryDir folder_;
    QProcessEnvironment env_;
    std::unique_ptr<QProcess> bus_;
    std::vector<std::unique_ptr<QProcess>> servers_;
    std::vector<std::unique_ptr<QProcess>> tools_;
    QByteArray savedRuntime_, savedRemote_;
    bool hadRuntime_ = false, hadRemote_ = false;
    QString error_;
};

}  // namespace quellor::test
