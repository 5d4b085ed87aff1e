#include "TestEnvironment.h"

#include <csignal>
#include <sys/resource.h>

namespace quellor::test {

namespace {
VirtualScheduler g_fallbackScheduler;
}

void GlobalEnvironment::SetUp() {
    Scheduler::install(&g_fallbackScheduler);
    if (qEnvironmentVariableIsEmpty("QUELLOR_TEST_VERBOSE")) Logger::setStderrEnabled(false);
}

QuellorTest::QuellorTest()
    : scheduler_(std::make_unique<VirtualScheduler>()), defaults_(std::make_unique<UserDefaults>()) {
    Scheduler::install(scheduler_.get());
    UserDefaults::installStandard(defaults_.get());
}

QuellorTest::~QuellorTest() {
    defaults_.reset();
    UserDefaults::installStandard(nullptr);
    Scheduler::install(&g_fallbackScheduler);
}

FileSizeLimit::FileSizeLimit(qint64 bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    previousLimit_ = qint64(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(previousLimit_);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}

}  // namespace quellor::test
