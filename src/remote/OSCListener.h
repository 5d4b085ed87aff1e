#pragma once
// The UDP server through which the companion app and control surfaces drive the mixer. It listens
// on one port (IPv4 and IPv6), advertises "_quellor-osc._udp", decodes each datagram, admits it by
// the pairing PIN, the control password and the lockout policy, and hands the admitted messages to
// the main thread through a bounded inbox, where each becomes a command or a value address
// delivered through a callback. A sender faster than the main thread loses the intermediate values
// of a fader and, beyond the inbox's bound, whole messages: counted, and logged once a second.
//
// Threads: construct, start, stop, the setters and the callbacks belong to the main thread; the
// callbacks are called there. Receiving, decoding and admission run on the listener's own thread;
// admit() takes the code lock and may be called from any thread. "Now" is the scheduler's clock,
// which any thread may read; work reaches the main thread through Scheduler::post.

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "base/Logger.h"
#include "base/Scheduler.h"
#include "platform/NetworkEndpoint.h"
#include "remote/OSCCommand.h"
#include "remote/OSCInbox.h"
#include "remote/OSCMessage.h"
#include "remote/PINLockoutPolicy.h"
#include "remote/WindowedCount.h"

namespace quellor {

class ServiceAdvertiser;
class UserDefaults;

// The port when it lies in 1024...65535, otherwise 9000.
int validOSCPort(qint64 port);
// The listener's settings as stored in `defaults`: "oscEnabled" (absent or not a Bool: on) and
// the port that "oscPort" gives through validOSCPort (absent: 9000). A port stored as text of
// digits (a hand-edited file) is read as its number; any other kind gives 9000.
bool storedOSCEnabled(const UserDefaults& defaults);
quint16 storedOSCPort(const UserDefaults& defaults);
// Why storedOSCPort does not give the stored "oscPort" as it stands (text read as a number, a value
// out of range or of another kind), for the log; empty when it does or when nothing is stored.
QString storedOSCPortNote(const UserDefaults& defaults);

class OSCListener {
public:
    // The advertised name and type are what companions browse for: they stay as they are.
    static constexpr const char* kServiceName = "QuellorMac";
    static constexpr const char* kServiceType = "_quellor-osc._udp";

    // Reads the standard user defaults and starts listening on "oscPort" when "oscEnabled" is on.
    // Production listens on every interface; tests pass a loopback address.
    explicit OSCListener(QHostAddress bindAddress = QHostAddress::Any);
    ~OSCListener();
    OSCListener(const OSCListener&) = delete;
    OSCListener& operator=(const OSCListener&) = delete;

    // (Re)starts listening on the port; a port that cannot be bound is logged and leaves the
    // listener stopped. A socket that fails later is logged, the listener stops by itself and
    // onFailed tells its owner, which may start it again.
    void start(quint16 port);
    void stop();
    bool isListening() const;
    quint16 port() const { return port_; }

    // The settings as read now from the standard user defaults.
    static bool configuredEnabled();
    static quint16 configuredPort();

    // Store a new code and forgive every sender.
    void setPairingPIN(const QString& pin);
    void setControlPassword(const QString& password);

    // The admission gate: the address to route, or nothing to drop. `source` is the sender's key.
    std::optional<QString> admit(const QString& address, const QString& source);
    // The sender's key: its host without the port (IPv4-mapped addresses as dotted IPv4).
    static QString sourceKey(const NetworkEndpoint& endpoint) { return endpoint.hostText(); }
    // Main thread: delivers one admitted message through the callbacks. A message that is neither a
    // command nor carries a value is logged, one line a second at most and a count of the rest.
    void route(const OSCMessage& admitted, const NetworkEndpoint& sender);

    // The listener thread's work for one datagram from `sender`, which came in through the network
    // interface with that index: decode and admit it; then note the sender's flow (its first
    // admitted datagram logs the connection, one such line a second at most and a count of the rest)
    // and queue the message for the main thread. A datagram that is not admitted leaves nothing
    // behind but a count, logged once a second.
    // Tests drive it without a socket; while listening only the listener thread calls it.
    void receiveDatagram(const QByteArray& datagram, const NetworkEndpoint& sender, int interfaceIndex = 0);
    // The listener thread's timed work (a test's while not listening): lets quiet flows go and logs
    // the counts whose second has run out. Returns when it next has such work, if ever.
    std::optional<double> housekeeping();
    // Admitted messages waiting for the main thread.
    std::size_t waitingCount() const { return inbox_.size(); }
    // Whether the latest value of an admitted message stands for every earlier one of its address
    // (volumes, fader positions, numbered controls), so that only the latest need be delivered.
    static bool isLevel(const OSCMessage& admitted);

    // Installed by the application's wiring to the engine (EngineRemoteControl); called on the main
    // thread after admission, values in 0...1. One not installed drops its messages.
    std::function<void(int number, float value)> onQuellorValueReceived;
    std::function<void(const QString& id, float value)> onAppVolumeReceived;
    std::function<void(const QString& bundle, bool on)> onCueReceived;
    std::function<void(const QString& bundle, float value)> onCueVolumeReceived;
    std::function<void(int slot, const QString& bundle)> onSlotReceived;
    std::function<void(bool on)> onPanicReceived;
    std::function<void(bool on)> onRecordReceived;
    std::function<void(bool on)> onAutoRecReceived;
    std::function<void(int index)> onSnapshotReceived;
    std::function<void()> onSnapshotSaveReceived;
    std::function<void(OSCCommand command, std::optional<float> value)> onCommandReceived;
    std::function<void(const NetworkEndpoint& endpoint)> onCompanionConnected;
    // Installed by the owner; called on the main thread once a receive error has stopped the
    // listener.
    std::function<void()> onFailed;

private:
    struct Receiver;
    struct Intake;
    void dispatch(const QString& address, float value);
    void receive(Receiver& receiver);
    void receiverFailed(quint64 generation);
    void reportCounts(bool all);
    void scheduleNoArgumentReport();        // main thread
    void reportNoArgumentCount(bool all);  // main thread
    void deliverWaiting();
    double now() const { return scheduler_->now(); }

    const Logger log_{QStringLiteral("OSCListener")};
    QHostAddress bindAddress_;
    Scheduler* scheduler_;
    std::unique_ptr<ServiceAdvertiser> advertiser_;
    std::unique_ptr<Receiver> receiver_;
    quint64 generation_ = 0;  // of the receiver, counted up by each start
    std::unique_ptr<Intake> intake_;  // the listener thread's while listening, otherwise the main thread's
    OSCInbox inbox_;
    quint16 port_ = 0;

    std::mutex pinLock_;  // guards the two codes and the lockout policy
    QString storedPIN_;
    QString storedPassword_;
    PINLockoutPolicy lockout_;
    std::atomic<bool> pinRequired_{true};  // mirrors "oscPinRequired" for the listener thread

    QObject context_;  // receives the defaults' change signal on the main thread
    LimitedLine noArgumentLines_;  // main thread
    TaskSlot noArgumentReport_;
    Liveness liveness_;
};

}  // namespace quellor
