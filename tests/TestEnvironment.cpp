#include "TestEnvironment.h"

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

}  // namespace quellor::test
