#include "platform/NetworkEndpoint.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>

namespace quellor {

NetworkEndpoint::NetworkEndpoint(const QHostAddress& host, quint16 port) : host_(host), port_(port) {
    if (host.protocol() != QAbstractSocket::IPv6Protocol) return;
    // Only ::ffff:a.b.c.d is an IPv4 peer. Qt also converts "::" to 0.0.0.0, which would turn the
    // dual-stack wildcard into an IPv4 address that an IPv6 socket cannot bind.
    const Q_IPV6ADDR bytes = host.toIPv6Address();
    for (int i = 0; i < 10; ++i)
        if (bytes[i] != 0) return;
    if (bytes[10] == 0xff && bytes[11] == 0xff) host_ = QHostAddress(host.toIPv4Address());
}

NetworkEndpoint NetworkEndpoint::fromSockaddr(const sockaddr* address, socklen_t length) {
    if (address->sa_family == AF_INET && length >= socklen_t(sizeof(sockaddr_in))) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(address);
        return NetworkEndpoint(QHostAddress(ntohl(in->sin_addr.s_addr)), ntohs(in->sin_port));
    }
    if (address->sa_family == AF_INET6 && length >= socklen_t(sizeof(sockaddr_in6))) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(address);
        QHostAddress host(in6->sin6_addr.s6_addr);
        if (in6->sin6_scope_id != 0) host.setScopeId(QString::number(in6->sin6_scope_id));
        return NetworkEndpoint(host, ntohs(in6->sin6_port));
    }
    return {};
}

socklen_t NetworkEndpoint::toSockaddr(sockaddr_storage& storage) const {
    std::memset(&storage, 0, sizeof storage);
    if (host_.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&storage);
        in->sin_family = AF_INET;
        in->sin_port = htons(port_);
        in->sin_addr.s_addr = htonl(host_.toIPv4Address());
        return sizeof(sockaddr_in);
    }
    if (host_.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port_);
        Q_IPV6ADDR bytes = host_.toIPv6Address();
        std::memcpy(in6->sin6_addr.s6_addr, bytes.c, 16);
        QString scope = host_.scopeId();
        if (!scope.isEmpty()) {
            bool numeric = false;
            uint index = scope.toUInt(&numeric);
            in6->sin6_scope_id = numeric ? index : if_nametoindex(qPrintable(scope));
        }
        return sizeof(sockaddr_in6);
    }
    return 0;
}

QString NetworkEndpoint::description() const {
    if (host_.protocol() == QAbstractSocket::IPv6Protocol)
        return QStringLiteral("[%1]:%2").arg(host_.toString()).arg(port_);
    return QStringLiteral("%1:%2").arg(host_.toString()).arg(port_);
}

}  // namespace quellor
