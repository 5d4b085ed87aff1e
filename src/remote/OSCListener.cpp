#include "remote/OSCListener.h"

#include <QHash>
#include <algorithm>
#include <QNetworkInterface>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/UserDefaults.h"
#include "platform/ServiceAdvertiser.h"
#include "remote/AuthenticatedAddress.h"
#include "remote/IdleFlowTracker.h"
#include "remote/WindowedCount.h"

namespace quellor {
namespace {

constexpr double kReaperInterval = 15;  // how often quiet flows are looked for
constexpr double kFlowIdleAfter = 60;   // a flow silent for longer is let go
constexpr int kDatagramsPerWake = 64;   // bounded work between checks for stop

// A decimal integer with an optional sign, the whole text, in int range.
std::optional<int> parseDecimalInt(QStringView text) {
    bool ok = false;
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace()) return std::nullopt;
    const int n = text.toInt(&ok, 10);
    return ok ? std::optional<int>(n) : std::nullopt;
}

QString interfaceTypeName(QNetworkInterface::InterfaceType type) {
    switch (type) {
    case QNetworkInterface::Wifi: return QStringLiteral("wifi");
    case QNetworkInterface::Ethernet: return QStringLiteral("wiredEthernet");
    case QNetworkInterface::Loopback: return QStringLiteral("loopback");
    case QNetworkInterface::Phonet:
    case QNetworkInterface::Ieee80216: return QStringLiteral("cellular");
    default: return QStringLiteral("other");
    }
}

}  // namespace

int validOSCPort(qint64 port) { return (port >= 1024 && port <= 65535) ? int(port) : 9000; }

// One running socket and the thread that reads it. The main thread closes the descriptors after
// joining the thread.
struct OSCListener::Receiver {
    int socket = -1;
    int wake = -1;  // eventfd: written by stop()
    std::thread thread;
    quint64 generation = 0;           // the listener's count of starts when this one began
    std::atomic<bool> failed{false};  // set by the thread as it ends on a receive error

    ~Receiver() {
        if (socket >= 0) ::close(socket);
        if (wake >= 0) ::close(wake);
    }
};

// What the listener thread keeps between datagrams.
struct OSCListener::Intake {
    IdleFlowTracker<QString> flows;
    double nextSweep = 0;
    QHash<int, QString> interfaceLabels;  // "lo(loopback)" by interface index
    WindowedCount dropped;                // admitted messages that found the inbox full
    WindowedCount ignored;                // datagrams not admitted
    LimitedLine connections;              // "OSC connection via" lines (a sender can open flows at will)

    QString interfaceLabel(int index) {
        auto it = interfaceLabels.constFind(index);
        if (it != interfaceLabels.constEnd()) return *it;
        char name[IF_NAMESIZE] = {};
        QString label;
        if (index > 0 && if_indextoname(unsigned(index), name)) {
            label = QStringLiteral("%1(%2)").arg(QString::fromUtf8(name),
                                                  interfaceTypeName(QNetworkInterface::interfaceFromIndex(index).type()));
        }
        interfaceLabels.insert(index, label);
        return label;
    }
};

OSCListener::OSCListener(QHostAddress bindAddress)
    : bindAddress_(std::move(bindAddress)), scheduler_(&Scheduler::current()),
      advertiser_(std::make_unique<ServiceAdvertiser>()), intake_(std::make_unique<Intake>()) {
    UserDefaults& defaults = UserDefaults::standard();
    pinRequired_ = defaults.boolOr(QStringLiteral("oscPinRequired"), true);
    QObject::connect(&defaults, &UserDefaults::changed, &context_, [this, &defaults](const QString& key) {
        if (key == u"oscPinRequired") pinRequired_ = defaults.boolOr(key, true);
    });
    if (configuredEnabled()) start(configuredPort());
}

OSCListener::~OSCListener() {
    stop();
    reportNoArgumentCount(true);
}

bool storedOSCEnabled(const UserDefaults& defaults) { return defaults.boolOr(QStringLiteral("oscEnabled"), true); }

namespace {

const QString kPortKey = QStringLiteral("oscPort");

// The stored port as a number: an integer, or text that is only decimal digits.
std::optional<qint64> storedPortNumber(const UserDefaults& defaults) {
    if (auto number = defaults.integerValue(kPortKey)) return number;
    const QString text = defaults.stringOr(kPortKey, QString());
    const bool digits = !text.isEmpty() && text.size() <= 5 &&
                        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (digits) return text.toLongLong();
    return std::nullopt;
}

}  // namespace

quint16 storedOSCPort(const UserDefaults& defaults) {
    return quint16(validOSCPort(storedPortNumber(defaults).value_or(9000)));
}

QString storedOSCPortNote(const UserDefaults& defaults) {
    if (!defaults.contains(kPortKey)) return {};
    const auto number = storedPortNumber(defaults);
    const int port = storedOSCPort(defaults);
    const bool isText = defaults.stringValue(kPortKey).has_value();
    if (number && *number == port)
        return isText ? QStringLiteral("\"oscPort\" is stored as text; using it as port %1").arg(port) : QString();
    if (number)
        return QStringLiteral("\"oscPort\" %1 is outside 1024...65535; using port 9000").arg(*number);
    if (isText) {
        const QString text = *defaults.stringValue(kPortKey);
        const QString shown = text.size() > 16 ? text.left(16) + QStringLiteral("...") : text;
        return QStringLiteral("\"oscPort\" holds the text \"%1\", not a port; using port 9000").arg(shown);
    }
    return QStringLiteral("\"oscPort\" holds %1, not a port; using port 9000").arg(defaults.kindOf(kPortKey));
}

bool OSCListener::configuredEnabled() { return storedOSCEnabled(UserDefaults::standard()); }

quint16 OSCListener::configuredPort() {
    const UserDefaults& defaults = UserDefaults::standard();
    // Restarts and retries read the setting again: each stored value is reported once.
    static QString reported;
    const QString note = storedOSCPortNote(defaults);
    if (!note.isEmpty() && note != reported) Logger(QStringLiteral("OSCListener")).notice("%s", qPrintable(note));
    reported = note;
    return storedOSCPort(defaults);
}

void OSCListener::start(quint16 port) {
    stop();
    scheduler_ = &Scheduler::current();

    auto receiver = std::make_unique<Receiver>();
    const bool any = bindAddress_ == QHostAddress::Any || bindAddress_ == QHostAddress::AnyIPv6;
    sockaddr_storage address;
    socklen_t length = 0;
    int error = 0;
    if (any) {
        // One dual-stack socket serves IPv4 and IPv6; hosts without IPv6 get an IPv4 socket.
        receiver->socket = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (receiver->socket >= 0) {
            int off = 0;
            ::setsockopt(receiver->socket, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
            // Built by hand: an endpoint would fold "::" into IPv4's 0.0.0.0, which an IPv6
            // socket refuses to bind.
            std::memset(&address, 0, sizeof address);
            auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(port);
            in6->sin6_addr = in6addr_any;
            length = sizeof(sockaddr_in6);
        } else {
            receiver->socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            length = NetworkEndpoint(QHostAddress::AnyIPv4, port).toSockaddr(address);
        }
    } else {
        length = NetworkEndpoint(bindAddress_, port).toSockaddr(address);
        receiver->socket = ::socket(address.ss_family, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    }
    if (receiver->socket < 0 || length == 0 || ::bind(receiver->socket, reinterpret_cast<sockaddr*>(&address), length) != 0)
        error = errno ? errno : EINVAL;
    receiver->wake = error ? -1 : ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (!error && receiver->wake < 0) error = errno;
    if (error) {
        log_.error("Failed to start OSC listener: %s", std::strerror(error));
        return;
    }
    // Ask for the arrival interface of each datagram (for the connection log).
    int on = 1;
    ::setsockopt(receiver->socket, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    ::setsockopt(receiver->socket, IPPROTO_IPV6, IPV6_RECVPKTINFO, &on, sizeof on);

    port_ = port;
    receiver->generation = ++generation_;
    *intake_ = Intake{};
    receiver_ = std::move(receiver);
    advertiser_->advertise(QString::fromLatin1(kServiceName), QString::fromLatin1(kServiceType), port);
    log_.info("OSC Listener ready on port %hu (Bonjour: %s)", port, kServiceType);
    receiver_->thread = std::thread([this, r = receiver_.get()] { receive(*r); });
}

bool OSCListener::isListening() const { return receiver_ && !receiver_->failed; }

void OSCListener::receiverFailed(quint64 generation) {
    if (!receiver_ || generation != generation_) return;  // stopped or started again meanwhile
    stop();
    if (onFailed) onFailed();
}

void OSCListener::stop() {
    if (!receiver_) return;
    const quint64 one = 1;
    [[maybe_unused]] auto written = ::write(receiver_->wake, &one, sizeof one);
    receiver_->thread.join();
    receiver_.reset();
    advertiser_->withdraw();
    reportCounts(true);
}

void OSCListener::setPairingPIN(const QString& pin) {
    std::lock_guard lock(pinLock_);
    storedPIN_ = pin;
    lockout_.reset();
}

void OSCListener::setControlPassword(const QString& password) {
    std::lock_guard lock(pinLock_);
    storedPassword_ = password;
    lockout_.reset();
}

std::optional<QString> OSCListener::admit(const QString& address, const QString& source) {
    const double now = this->now();
    std::optional<PINLockoutPolicy::FailureOutcome> failure;
    {
        std::lock_guard lock(pinLock_);
        const auto split = splitAuthenticatedAddress(address, storedPIN_, storedPassword_, pinRequired_);
        if (!split) return std::nullopt;
        if (!split->rejected) {
            if (!address.startsWith(u"/a/")) return split->text;  // a bare command, codes not required
            // A correct code does not lift a running block.
            if (!lockout_.isAllowed(source, split->code, now)) return std::nullopt;
            lockout_.recordSuccess(source, split->code);
            return split->text;
        }
        // Codes sent while blocked are not counted.
        if (!lockout_.isAllowed(source, split->code, now)) return std::nullopt;
        failure = lockout_.recordFailure(source, split->code, split->text, now);
    }
    using Kind = PINLockoutPolicy::FailureOutcome::Kind;
    if (failure->kind == Kind::Backoff)
        log_.notice("Bad PIN/password from %s; ignoring it for %lds", qPrintable(source), long(failure->seconds));
    else if (failure->kind == Kind::GlobalPause)
        log_.error("Too many bad PINs; pausing unknown senders for %lds", long(failure->seconds));
    return std::nullopt;
}

namespace {

// The index of the network interface a datagram came in through, from its IP_PKTINFO or
// IPV6_PKTINFO control message; 0 when there is none.
int arrivalInterface(msghdr& msg) {
    int index = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO)
            index = reinterpret_cast<in_pktinfo*>(CMSG_DATA(c))->ipi_ifindex;
        else if (c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_PKTINFO)
            index = int(reinterpret_cast<in6_pktinfo*>(CMSG_DATA(c))->ipi6_ifindex);
    }
    return index;
}

}  // namespace

void OSCListener::receive(Receiver& r) {
    std::vector<char> buffer(65536);
    alignas(cmsghdr) char control[256];
    // The thread ends; the main thread stops the listener and tells the owner.
    auto fail = [&](int error) {
        log_.error("OSC Listener failed: %s", std::strerror(error));
        scheduler_->post(liveness_.guard([this, generation = r.generation] { receiverFailed(generation); }));
        r.failed = true;
    };
    for (;;) {
        int timeoutMs = -1;
        if (auto due = housekeeping()) timeoutMs = int(std::max(0.0, *due - now()) * 1000) + 1;
        pollfd fds[2] = {{r.socket, POLLIN, 0}, {r.wake, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno != EINTR) return fail(errno);
        if (fds[1].revents) return;
        // An error condition is read like a datagram: recvmsg reports it.
        for (int i = 0; i < kDatagramsPerWake && fds[0].revents; ++i) {
            sockaddr_storage from;
            iovec io{buffer.data(), buffer.size()};
            msghdr msg{};
            msg.msg_name = &from;
            msg.msg_namelen = sizeof from;
            msg.msg_iov = &io;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(r.socket, &msg, MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK) break;
                if (errno == EINTR || errno == ECONNREFUSED || errno == ENOMEM || errno == ENOBUFS) continue;
                return fail(errno);
            }
            if (msg.msg_flags & MSG_TRUNC) continue;  // larger than any UDP payload we read: drop it
            const NetworkEndpoint sender = NetworkEndpoint::fromSockaddr(reinterpret_cast<sockaddr*>(&from), msg.msg_namelen);
            if (!sender.isValid()) continue;
            receiveDatagram(QByteArray(buffer.data(), n), sender, arrivalInterface(msg));
        }
    }
}

std::optional<double> OSCListener::housekeeping() {
    Intake& in = *intake_;
    const double t = now();
    if (!in.flows.isEmpty() && t >= in.nextSweep) {
        in.flows.expire(t, kFlowIdleAfter);
        in.nextSweep = t + kReaperInterval;
    }
    reportCounts(false);
    std::optional<double> due;
    auto consider = [&due](std::optional<double> at) {
        if (at && (!due || *at < *due)) due = at;
    };
    consider(in.dropped.due());
    consider(in.ignored.due());
    consider(in.connections.due());
    if (!in.flows.isEmpty()) consider(in.nextSweep);
    return due;
}

void OSCListener::reportCounts(bool all) {
    const double t = all ? std::numeric_limits<double>::infinity() : now();
    if (auto dropped = intake_->dropped.take(t))
        log_.notice("OSC: dropped %ld messages while the main thread was busy", *dropped);
    if (auto ignored = intake_->ignored.take(t))
        log_.info("OSC: ignored %ld datagrams without a valid code", *ignored);
    if (auto connections = intake_->connections.take(t))
        log_.info("OSC: %ld more connection lines left out", *connections);
}

void OSCListener::scheduleNoArgumentReport() {
    const auto due = noArgumentLines_.due();
    if (!due || noArgumentReport_.pending()) return;
    // A moment past the end of the window, so that the count is surely due when the task runs.
    noArgumentReport_.set(scheduler_->after(std::max(0.0, *due - now()) + 0.001, liveness_.guard([this] {
        noArgumentReport_.clear();
        reportNoArgumentCount(false);
        scheduleNoArgumentReport();
    })));
}

void OSCListener::reportNoArgumentCount(bool all) {
    const double t = all ? std::numeric_limits<double>::infinity() : now();
    if (auto count = noArgumentLines_.take(t))
        log_.notice("OSC: %ld more messages with no argument and not a command", *count);
}

void OSCListener::receiveDatagram(const QByteArray& datagram, const NetworkEndpoint& sender, int interfaceIndex) {
    housekeeping();
    Intake& in = *intake_;
    const double t = now();
    auto message = decodeOSCMessage(datagram);
    auto address = message ? admit(message->address, sourceKey(sender)) : std::nullopt;
    if (!address) {
        // Anyone can send anything from fresh ports: nothing is kept of it but a count.
        in.ignored.add(t);
        return;
    }
    const QString flow = sender.description();
    if (!in.flows.contains(flow)) {
        if (in.flows.isEmpty()) in.nextSweep = t + kReaperInterval;
        if (in.connections.admit(t))
            log_.info("OSC connection via [%s]", qPrintable(in.interfaceLabel(interfaceIndex)));
    }
    in.flows.touch(flow, t);

    OSCMessage admitted{*address, message->value};
    const bool level = isLevel(admitted);
    const OSCInbox::Pushed pushed = inbox_.push(std::move(admitted), sender, level);
    if (pushed.outcome == OSCInbox::Outcome::Dropped) in.dropped.add(t);
    if (pushed.wake) scheduler_->post(liveness_.guard([this] { deliverWaiting(); }));
}

void OSCListener::deliverWaiting() {
    for (const OSCInbox::Entry& entry : inbox_.take()) route(entry.message, entry.sender);
}

bool OSCListener::isLevel(const OSCMessage& admitted) {
    if (!admitted.value) return false;
    const QString& address = admitted.address;
    if (address.startsWith(u"/volume/") || address.startsWith(u"/cuevolume/")) return true;
    if (auto command = OSCCommand::parse(address)) return command->kind() == OSCCommand::Kind::StripFader;
    return address.startsWith(u"/quellor/") && parseDecimalInt(QStringView(address).mid(9)).has_value();
}

void OSCListener::route(const OSCMessage& admitted, const NetworkEndpoint& sender) {
    const QString& address = admitted.address;
    if (auto command = OSCCommand::parse(address)) {
        log_.debug("OSC cmd: %s", qPrintable(address));
        if (onCommandReceived) onCommandReceived(*command, admitted.value);
        return;
    }
    if (!admitted.value) {
        // An authenticated sender can send these as fast as it likes: one line a second, and a
        // count of the rest once that second is over.
        if (noArgumentLines_.admit(now())) log_.notice("OSC: no argument and not a command: %s", qPrintable(address));
        else scheduleNoArgumentReport();
        return;
    }
    if (onCompanionConnected) onCompanionConnected(sender);
    dispatch(address, *admitted.value);
}

void OSCListener::dispatch(const QString& address, float value) {
    log_.debug("OSC in: %s = %f", qPrintable(address), double(value));
    const bool on = value >= 0.5f;
    auto rest = [&](qsizetype prefixLength) { return QStringView(address).mid(prefixLength); };

    if (address.startsWith(u"/quellor/")) {
        if (auto n = parseDecimalInt(rest(9))) {
            if (onQuellorValueReceived) onQuellorValueReceived(*n, value);
            return;
        }
    } else if (address.startsWith(u"/cue/")) {
        if (onCueReceived) onCueReceived(rest(5).toString(), on);
        return;
    } else if (address.startsWith(u"/cuevolume/")) {
        if (onCueVolumeReceived) onCueVolumeReceived(rest(11).toString(), value);
        return;
    } else if (address.startsWith(u"/volume/")) {
        if (onAppVolumeReceived) onAppVolumeReceived(rest(8).toString(), value);
        return;
    } else if (address == u"/autorec") {
        if (onAutoRecReceived) onAutoRecReceived(on);
        return;
    } else if (address == u"/record") {
        if (onRecordReceived) onRecordReceived(on);
        return;
    } else if (address == u"/panic") {
        if (onPanicReceived) onPanicReceived(on);
        return;
    } else if (address.startsWith(u"/snapshot/") && on) {
        if (address == u"/snapshot/save") {
            if (onSnapshotSaveReceived) onSnapshotSaveReceived();
        } else if (auto n = parseDecimalInt(rest(10))) {
            if (onSnapshotReceived) onSnapshotReceived(*n);
        }
        return;
    } else if (address.startsWith(u"/slot/")) {
        const QStringView tail = rest(6);
        const qsizetype slash = tail.indexOf(u'/');
        if (slash < 0) return;
        auto n = parseDecimalInt(tail.left(slash));
        if (n && onSlotReceived) onSlotReceived(*n, tail.mid(slash + 1).toString());
        return;
    }
    log_.notice("OSC: unknown address %s", qPrintable(address));
}

}  // namespace quellor
