#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "base/Logger.h"
#include "base/Scheduler.h"

namespace quellor::fuzz {

namespace {
VirtualScheduler* g_scheduler = nullptr;
// Under $TMPDIR, one per process (parallel fuzzing jobs never share files); removed at exit.
QTemporaryDir* g_root = nullptr;
}  // namespace

VirtualScheduler& scheduler() { return *g_scheduler; }

void settle() { g_scheduler->advance(3600); }

QString freshFolder() {
    const QString path = g_root->filePath(QStringLiteral("input"));
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QString writeFile(const QString& name, const QByteArray& data) {
    const QString path = g_root->filePath(QStringLiteral("input/") + name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

void fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant does not hold: %s\n", file, line, condition);
    std::abort();
}

}  // namespace quellor::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    using namespace quellor;
    // Kept for the life of the process: QCoreApplication holds on to argc and argv.
    static QCoreApplication app(*argc, *argv);
    static VirtualScheduler scheduler;
    static QTemporaryDir root(QDir::tempPath() + QStringLiteral("/quellor-fuzz-XXXXXX"));
    if (!root.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder under %s\n", qPrintable(QDir::tempPath()));
        std::exit(1);
    }
    fuzz::g_scheduler = &scheduler;
    fuzz::g_root = &root;
    Scheduler::install(&scheduler);
    // Rejected inputs are the common case; their log lines would drown libFuzzer's.
    Logger::setStderrEnabled(false);
    return 0;
}
