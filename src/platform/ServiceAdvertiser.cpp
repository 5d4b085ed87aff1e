#include "platform/ServiceAdvertiser.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/thread-watch.h>

#include "base/Logger.h"

namespace quellor {
namespace {
const Logger& log() {
    static const Logger logger(QStringLiteral("ServiceAdvertiser"));
    return logger;
}
}  // namespace

// Everything below `poll` is touched on Avahi's thread (inside its callbacks, which hold the poll
// lock) or on the main thread with the poll lock taken.
struct ServiceAdvertiser::Impl {
    AvahiThreadedPoll* poll = nullptr;
    AvahiClient* client = nullptr;
    AvahiEntryGroup* group = nullptr;
    QByteArray name, type;
    quint16 port = 0;
    bool wanted = false;
    bool unavailableLogged = false;

    ~Impl() {
        if (poll) avahi_threaded_poll_stop(poll);
        if (client) avahi_client_free(client);  // frees the group too
        if (poll) avahi_threaded_poll_free(poll);
    }

    bool connect() {
        if (client) return true;
        if (!poll) poll = avahi_threaded_poll_new();
        if (!poll) return false;
        int error = 0;
        client = avahi_client_new(avahi_threaded_poll_get(poll), AvahiClientFlags(0), &Impl::onClientState, this, &error);
        if (!client) {
            if (!unavailableLogged) {
                unavailableLogged = true;
                log().notice("Service advertisement unavailable: %s", avahi_strerror(error));
            }
            return false;
        }
        avahi_threaded_poll_start(poll);
        return true;
    }

    // Called with the poll lock held (or before the poll thread runs).
    void publish(AvahiClient* c) {
        if (!wanted || avahi_client_get_state(c) != AVAHI_CLIENT_S_RUNNING) return;
        if (!group) group = avahi_entry_group_new(c, &Impl::onGroupState, this);
        if (!group) return;
        avahi_entry_group_reset(group);
        int rc = avahi_entry_group_add_service(group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                               name.constData(), type.constData(), nullptr, nullptr, port, nullptr);
        if (rc == AVAHI_ERR_COLLISION) {
            rename();
            return;
        }
        if (rc < 0 || avahi_entry_group_commit(group) < 0)
            log().error("Failed to advertise %s: %s", type.constData(), avahi_strerror(rc < 0 ? rc : avahi_client_errno(c)));
    }

    void rename() {
        char* alternative = avahi_alternative_service_name(name.constData());
        name = alternative;
        avahi_free(alternative);
        publish(client ? client : avahi_entry_group_get_client(group));
    }

    static void onClientState(AvahiClient* c, AvahiClientState state, void* userdata) {
        auto* self = static_cast<Impl*>(userdata);
        switch (state) {
        case AVAHI_CLIENT_S_RUNNING: self->publish(c); break;
        case AVAHI_CLIENT_S_COLLISION:
        case AVAHI_CLIENT_S_REGISTERING:
            if (self->group) avahi_entry_group_reset(self->group);
            break;
        case AVAHI_CLIENT_FAILURE:
            log().error("Service advertisement failed: %s", avahi_strerror(avahi_client_errno(c)));
            break;
        default: break;
        }
    }

    static void onGroupState(AvahiEntryGroup*, AvahiEntryGroupState state, void* userdata) {
        if (state == AVAHI_ENTRY_GROUP_COLLISION) static_cast<Impl*>(userdata)->rename();
    }
};

ServiceAdvertiser::ServiceAdvertiser() : impl_(std::make_unique<Impl>()) {}
ServiceAdvertiser::~ServiceAdvertiser() = default;

void ServiceAdvertiser::advertise(const QString& name, const QString& type, quint16 port) {
    if (impl_->poll && impl_->client) avahi_threaded_poll_lock(impl_->poll);
    impl_->name = name.toUtf8();
    impl_->type = type.toUtf8();
    impl_->port = port;
    impl_->wanted = true;
    if (impl_->poll && impl_->client) {
        impl_->publish(impl_->client);
        avahi_threaded_poll_unlock(impl_->poll);
        return;
    }
    // The first callback runs inside avahi_client_new, before the poll thread starts.
    impl_->connect();
}

void ServiceAdvertiser::withdraw() {
    if (!impl_->client) {
        impl_->wanted = false;
        return;
    }
    avahi_threaded_poll_lock(impl_->poll);
    impl_->wanted = false;
    if (impl_->group) avahi_entry_group_reset(impl_->group);
    avahi_threaded_poll_unlock(impl_->poll);
}

bool ServiceAdvertiser::isConnected() const { return impl_->client != nullptr; }

}  // namespace quellor
