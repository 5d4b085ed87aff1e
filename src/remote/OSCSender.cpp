#include "remote/OSCSender.h"

#include <QtEndian>
#include <cstring>
#include <functional>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quellor {
namespace {

void appendPadded(QByteArray& buffer, const QByteArray& text) {
    buffer.append(text);
    buffer.append('\0');
    while (buffer.size() % 4 != 0) buffer.append('\0');
}

// A numeric address is used as it is; a name is looked up (first result).
NetworkEndpoint resolve(const QString& host, quint16 port) {
    QHostAddress address;
    if (address.setAddress(host)) return NetworkEndpoint(address, port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* results = nullptr;
    if (::getaddrinfo(qPrintable(host), nullptr, &hints, &results) != 0 || !results) return {};
    NetworkEndpoint found = NetworkEndpoint::fromSockaddr(results->ai_addr, results->ai_addrlen).replacingPort(port);
    ::freeaddrinfo(results);
    return found;
}

}  // namespace

// A UDP socket connected to one destination. Connected, so that the kernel reports a refusing
// peer (ICMP port unreachable) on a later send, which then drops the socket.
struct OSCSender::Connection {
    int fd = -1;
    explicit Connection(const NetworkEndpoint& destination) {
        sockaddr_storage address;
        const socklen_t length = destination.toSockaddr(address);
        if (length == 0) return;
        fd = ::socket(address.ss_family, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~Connection() {
        if (fd >= 0) ::close(fd);
    }
};

OSCSender& OSCSender::shared() {
    static OSCSender sender;
    return sender;
}

OSCSender::OSCSender() = default;
OSCSender::~OSCSender() = default;

QByteArray OSCSender::message(const QString& address, float value) {
    QByteArray buffer;
    appendPadded(buffer, address.toUtf8());
    buffer.append("\x2C\x66\x00\x00", 4);
    char bits[4];
    quint32 raw;
    std::memcpy(&raw, &value, sizeof raw);
    qToBigEndian(raw, bits);
    buffer.append(bits, 4);
    return buffer;
}

QByteArray OSCSender::message(const QString& address, const QString& text) {
    QByteArray buffer;
    appendPadded(buffer, address.toUtf8());
    buffer.append("\x2C\x73\x00\x00", 4);
    appendPadded(buffer, text.toUtf8());
    return buffer;
}

void OSCSender::send(const QString& text, const NetworkEndpoint& endpoint, const QString& address) {
    const QString key = endpoint.description();
    auto connection = connectionFor(key, [&] { return endpoint; });
    if (connection) transmit(key, connection, message(address, text));
}

void OSCSender::send(const QString& host, quint16 port, const QString& address, float value) {
    const QString key = host + u':' + QString::number(port);
    auto connection = connectionFor(key, [&] { return resolve(host, port); });
    if (connection) transmit(key, connection, message(address, value));
}

void OSCSender::cancel(const NetworkEndpoint& endpoint) {
    std::shared_ptr<Connection> removed;
    {
        std::lock_guard lock(lock_);
        removed = connections_.take(endpoint.description());
    }
    // The socket closes when the last sender using it lets go.
}

std::size_t OSCSender::connectionCount() const {
    std::lock_guard lock(lock_);
    return connections_.size();
}

std::shared_ptr<OSCSender::Connection> OSCSender::connectionFor(const QString& key,
                                                                const std::function<NetworkEndpoint()>& destination) {
    {
        std::lock_guard lock(lock_);
        auto it = connections_.constFind(key);
        if (it != connections_.constEnd()) return *it;
    }
    // Name lookup and socket set-up happen outside the lock.
    auto fresh = std::make_shared<Connection>(destination());
    if (fresh->fd < 0) return nullptr;
    std::lock_guard lock(lock_);
    // Another thread may have opened one first; then that one is used.
    auto it = connections_.constFind(key);
    if (it != connections_.constEnd()) return *it;
    connections_.insert(key, fresh);
    return fresh;
}

void OSCSender::transmit(const QString& key, const std::shared_ptr<Connection>& connection, const QByteArray& bytes) {
    if (::send(connection->fd, bytes.constData(), std::size_t(bytes.size()), MSG_DONTWAIT | MSG_NOSIGNAL) >= 0) return;
    std::lock_guard lock(lock_);
    auto it = connections_.find(key);
    if (it != connections_.end() && *it == connection) connections_.erase(it);
}

}  // namespace quellor
