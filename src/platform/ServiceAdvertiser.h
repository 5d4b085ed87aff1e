#pragma once
// Advertises one DNS-SD service (name, type, port) on the local network through the Avahi daemon,
// with Avahi's own client thread. Without a daemon (no system bus, daemon not running) it logs
// once for the life of the object and does nothing; the caller carries on without advertisement.
// A name collision is resolved with Avahi's alternative name.
//
// Threads: main thread only.

#include <QString>
#include <memory>

namespace quellor {

class ServiceAdvertiser {
public:
    ServiceAdvertiser();
    ~ServiceAdvertiser();
    ServiceAdvertiser(const ServiceAdvertiser&) = delete;
    ServiceAdvertiser& operator=(const ServiceAdvertiser&) = delete;

    // Replaces any earlier advertisement. No TXT record, every interface, the default domain.
    void advertise(const QString& name, const QString& type, quint16 port);
    void withdraw();

    // True while a daemon connection exists (it may still be registering the service).
    bool isConnected() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quellor
