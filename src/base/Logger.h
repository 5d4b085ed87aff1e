#pragma once
// One logger for the whole program: subsystem "com.larchfen.quellor", one category per component.
// Lines go to standard error as "category level: text". Tests attach a LogCapture and assert on
// category, level and text. Not for realtime threads (it locks and allocates).

#include <QString>
#include <functional>
#include <vector>

namespace quellor {

enum class LogLevel { Debug, Info, Default, Error };

const char* logLevelName(LogLevel level);

struct LogRecord {
    QString category;
    LogLevel level;
    QString text;
};

class Logger {
public:
    static constexpr const char* kSubsystem = "com.larchfen.quellor";

    explicit Logger(QString category) : category_(std::move(category)) {}

    void debug(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
    void info(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
    void notice(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));  // level "default"
    void error(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
    void log(LogLevel level, const QString& text) const;

    const QString& category() const { return category_; }

    // Sinks receive every record (after the standard-error sink). Returns a handle for removal.
    using Sink = std::function<void(const LogRecord&)>;
    static int addSink(Sink sink);
    static void removeSink(int handle);
    // Standard error output can be silenced (tests that expect many lines).
    static void setStderrEnabled(bool enabled);

private:
    QString category_;
};

// Collects every record while it lives. Thread-safe.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogRecord> records() const;
    // Records of one category (all categories when empty).
    std::vector<LogRecord> records(const QString& category) const;
    bool contains(const QString& category, LogLevel level, const QString& text) const;
    bool containsText(const QString& text) const;  // substring match in any record
    int count(const QString& text) const;          // exact text matches
    void clear();

private:
    struct Impl;
    Impl* impl_;
    int handle_;
};

}  // namespace quellor
