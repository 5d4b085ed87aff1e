#pragma once
// The error of every failed hardware call. Two kinds:
// - osStatus: a property operation failed: "HAL property <selector as unsigned decimal> failed:
//   OSStatus <status as signed decimal>" (the selector is written as a number: 'dOut' reads
//   1682929012);
// - operation: a named step failed: "Failed to <operation>: OSStatus <status>".
// Wherever a hardware error is logged or shown, description() is the text used.
//
// Threads: a plain value; thrown by the property operations on whatever thread made the call.

#include <QString>
#include <cstdint>
#include <exception>
#include <string>

#include "platform/AudioConstants.h"

namespace quellor {

class HALError : public std::exception {
public:
    enum class Kind { osStatus, operation };

    static HALError osStatus(OSStatus status, std::uint32_t selector);
    static HALError operation(OSStatus status, QString operation);

    Kind kind() const { return kind_; }
    OSStatus status() const { return status_; }
    std::uint32_t selector() const { return selector_; }    // osStatus only (0 otherwise)
    const QString& operationName() const { return operation_; }  // operation only
    QString description() const;
    const char* what() const noexcept override { return what_.c_str(); }

private:
    HALError(Kind kind, OSStatus status, std::uint32_t selector, QString operation);

    Kind kind_;
    OSStatus status_;
    std::uint32_t selector_;
    QString operation_;
    std::string what_;
};

}  // namespace quellor
