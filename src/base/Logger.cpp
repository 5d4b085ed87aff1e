#include "base/Logger.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>

namespace quellor {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<int, Logger::Sink> sinks;
    int next = 1;
    bool stderrEnabled = true;
};

Registry& registry() {
    static Registry r;
    return r;
}

QString vformat(const char* fmt, va_list ap) { return QString::vasprintf(fmt, ap); }

}  // namespace

const char* logLevelName(LogLevel level) {
    switch (level) {
    case LogLevel::Debug: return "debug";
    case LogLevel::Info: return "info";
    case LogLevel::Default: return "default";
    case LogLevel::Error: return "error";
    }
    return "default";
}

void Logger::log(LogLevel level, const QString& text) const {
    LogRecord record{category_, level, text};
    auto& r = registry();
    std::vector<Sink> sinks;
    bool toStderr;
    {
        std::lock_guard lock(r.mutex);
        toStderr = r.stderrEnabled;
        for (auto& [h, s] : r.sinks) sinks.push_back(s);
    }
    if (toStderr) {
        QByteArray line = QStringLiteral("[%1] %2 %3: %4\n")
                              .arg(QLatin1String(kSubsystem), category_,
                                   QLatin1String(logLevelName(level)), text)
                              .toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    }
    for (auto& s : sinks) s(record);
}

#define QUELLOR_LOG_BODY(level)         \
    va_list ap;                         \
    va_start(ap, fmt);                  \
    QString text = vformat(fmt, ap);    \
    va_end(ap);                         \
    log(level, text)

void Logger::debug(const char* fmt, ...) const { QUELLOR_LOG_BODY(LogLevel::Debug); }
void Logger::info(const char* fmt, ...) const { QUELLOR_LOG_BODY(LogLevel::Info); }
void Logger::notice(const char* fmt, ...) const { QUELLOR_LOG_BODY(LogLevel::Default); }
void Logger::error(const char* fmt, ...) const { QUELLOR_LOG_BODY(LogLevel::Error); }

int Logger::addSink(Sink sink) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    int h = r.next++;
    r.sinks[h] = std::move(sink);
    return h;
}

void Logger::removeSink(int handle) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.sinks.erase(handle);
}

void Logger::setStderrEnabled(bool enabled) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.stderrEnabled = enabled;
}

struct LogCapture::Impl {
    mutable std::mutex mutex;
    std::vector<LogRecord> records;
};

LogCapture::LogCapture() : impl_(new Impl) {
    handle_ = Logger::addSink([impl = impl_](const LogRecord& r) {
        std::lock_guard lock(impl->mutex);
        impl->records.push_back(r);
    });
}

LogCapture::~LogCapture() {
    Logger::removeSink(handle_);
    delete impl_;
}

std::vector<LogRecord> LogCapture::records() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->records;
}

std::vector<LogRecord> LogCapture::records(const QString& category) const {
    std::vector<LogRecord> out;
    for (auto& r : records())
        if (category.isEmpty() || r.category == category) out.push_back(r);
    return out;
}

bool LogCapture::contains(const QString& category, LogLevel level, const QString& text) const {
    for (auto& r : records())
        if (r.category == category && r.level == level && r.text == text) return true;
    return false;
}

bool LogCapture::containsText(const QString& text) const {
    for (auto& r : records())
        if (r.text.contains(text)) return true;
    return false;
}

int LogCapture::count(const QString& text) const {
    int n = 0;
    for (auto& r : records())
        if (r.text == text) ++n;
    return n;
}

void LogCapture::clear() {
    std::lock_guard lock(impl_->mutex);
    impl_->records.clear();
}

}  // namespace quellor
