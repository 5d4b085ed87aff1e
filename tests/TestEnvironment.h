#pragma once
// Test fixtures shared by every test binary.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "base/Logger.h"
#include "base/UserDefaults.h"
#include "base/VirtualScheduler.h"

namespace quellor::test {

// Installs a fresh VirtualScheduler and in-memory standard UserDefaults around every test.
class GlobalEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
};

// Base fixture: a fresh virtual scheduler and defaults per test, installed as current/standard.
class QuellorTest : public ::testing::Test {
protected:
    QuellorTest();
    ~QuellorTest() override;
    VirtualScheduler& scheduler() { return *scheduler_; }
    UserDefaults& defaults() { return *defaults_; }
    // Advances virtual time, running due work.
    void advance(double seconds) { scheduler_->advance(seconds); }

    std::unique_ptr<VirtualScheduler> scheduler_;
    std::unique_ptr<UserDefaults> defaults_;
    LogCapture logs;
};

// While it lives, no file of this process may grow past `bytes`: writes beyond it fail as on a full
// disk (EFBIG, with SIGXFSZ ignored). Tests run one per process, so the limit touches no other.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*previousHandler_)(int);
    qint64 previousLimit_;
};

}  // namespace quellor::test
