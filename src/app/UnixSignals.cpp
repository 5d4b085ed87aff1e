#include "app/UnixSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quellor {
namespace {
int g_pipe[2] = {-1, -1};

void onSignal(int sig) {
    unsigned char b = static_cast<unsigned char>(sig);
    [[maybe_unused]] auto n = ::write(g_pipe[1], &b, 1);
}
}  // namespace

UnixSignals::UnixSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        unsigned char b = 0;
        if (::read(g_pipe[0], &b, 1) == 1) emit quitRequested(int(b));
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    // A closed terminal asks for a normal quit too, so the engine's shutdown still runs.
    ::sigaction(SIGHUP, &sa, nullptr);
}

UnixSignals::~UnixSignals() {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
}

}  // namespace quellor
