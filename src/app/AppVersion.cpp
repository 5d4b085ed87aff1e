#include "app/AppVersion.h"

// Set for this file alone by the build, so that a new version recompiles nothing else.
#ifndef QUELLOR_VERSION
#define QUELLOR_VERSION ""
#endif
#ifndef QUELLOR_BUILD_NUMBER
#define QUELLOR_BUILD_NUMBER ""
#endif

namespace quellor {

QString versionOr(const char* value, const char* fallback) {
    const QString text = QString::fromUtf8(value ? value : "").trimmed();
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

QString appShortVersion() { return versionOr(QUELLOR_VERSION, "dev"); }

QString appBuildNumber() { return versionOr(QUELLOR_BUILD_NUMBER, "0"); }

}  // namespace quellor
