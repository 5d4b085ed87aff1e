#pragma once
// A UDP peer: a host address and a port. IPv4 peers that reach a dual-stack socket arrive as
// IPv4-mapped IPv6 addresses (::ffff:a.b.c.d); the endpoint stores them as plain IPv4 so that a
// sender has one identity and one text whichever socket family it came through.
//
// A plain value; any thread.

#include <QHostAddress>
#include <QString>
#include <sys/socket.h>

namespace quellor {

class NetworkEndpoint {
public:
    NetworkEndpoint() = default;
    NetworkEndpoint(const QHostAddress& host, quint16 port);

    // The endpoint a socket address names; an invalid endpoint for families other than IPv4/IPv6.
    static NetworkEndpoint fromSockaddr(const sockaddr* address, socklen_t length);
    // Fills `storage` with the socket address of this endpoint; returns its length (0 when invalid).
    socklen_t toSockaddr(sockaddr_storage& storage) const;

    bool isValid() const { return !host_.isNull(); }
    const QHostAddress& host() const { return host_; }
    quint16 port() const { return port_; }
    // The host alone: "192.0.2.7" or "fe80::1%eth0".
    QString hostText() const { return host_.toString(); }
    // "192.0.2.7:9001" or "[::1]:9001".
    QString description() const;
    NetworkEndpoint replacingPort(quint16 port) const { return NetworkEndpoint(host_, port); }

    friend bool operator==(const NetworkEndpoint& a, const NetworkEndpoint& b) {
        return a.port_ == b.port_ && a.host_ == b.host_;
    }

private:
    QHostAddress host_;
    quint16 port_ = 0;
};

}  // namespace quellor
