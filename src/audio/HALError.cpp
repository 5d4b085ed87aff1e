#include "audio/HALError.h"

namespace quellor {

HALError::HALError(Kind kind, OSStatus status, std::uint32_t selector, QString operation)
    : kind_(kind), status_(status), selector_(selector), operation_(std::move(operation)) {
    what_ = description().toStdString();
}

HALError HALError::osStatus(OSStatus status, std::uint32_t selector) {
    return HALError(Kind::osStatus, status, selector, {});
}

HALError HALError::operation(OSStatus status, QString operation) {
    return HALError(Kind::operation, status, 0, std::move(operation));
}

QString HALError::description() const {
    if (kind_ == Kind::osStatus)
        return QStringLiteral("HAL property %1 failed: OSStatus %2").arg(selector_).arg(status_);
    return QStringLiteral("Failed to %1: OSStatus %2").arg(operation_).arg(status_);
}

}  // namespace quellor
