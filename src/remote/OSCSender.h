#pragma once
// Sends single OSC messages over UDP, fire and forget: the feeds to the companion (one string
// argument) and the routing writes to TotalMix (one float argument). One connected UDP socket is
// kept per destination and reused; a send that fails drops that socket, and the next message to the
// destination opens a new one. Nothing is awaited, retried or logged.
//
// Threads: any thread; the socket cache is guarded by a lock that is never held across an encode
// or a send. The encoders are pure.

#include <QByteArray>
#include <QString>
#include <memory>
#include <mutex>
#include <QHash>
#include <functional>

#include "platform/NetworkEndpoint.h"

namespace quellor {

class OSCSender {
public:
    // The one sender of the process, created on first use.
    static OSCSender& shared();

    OSCSender();
    ~OSCSender();

    // address + ",s" + text to the endpoint.
    void send(const QString& text, const NetworkEndpoint& endpoint, const QString& address);
    // address + ",f" + value to host and port. The host is an address or a name.
    void send(const QString& host, quint16 port, const QString& address, float value);
    // Forgets and closes the socket held for that endpoint, if any.
    void cancel(const NetworkEndpoint& endpoint);

    // One message with one float argument, written unchanged (no clamping).
    static QByteArray message(const QString& address, float value);
    // One message with one string argument.
    static QByteArray message(const QString& address, const QString& text);

    // How many destinations have an open socket (diagnostics and tests).
    std::size_t connectionCount() const;

private:
    struct Connection;
    std::shared_ptr<Connection> connectionFor(const QString& key, const std::function<NetworkEndpoint()>& resolve);
    void transmit(const QString& key, const std::shared_ptr<Connection>& connection, const QByteArray& bytes);

    mutable std::mutex lock_;
    QHash<QString, std::shared_ptr<Connection>> connections_;
};

}  // namespace quellor
