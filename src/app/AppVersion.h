#pragma once
// The version of this build, set by the build system from the project's version (CMake's
// project(... VERSION ...)) and the optional build number QUELLOR_BUILD_NUMBER.
//
// Values only: any thread.
#include <QString>

namespace quellor {

// The project's version, or "dev" when the build sets none.
QString appShortVersion();
// The build number, or "0" when the build sets none.
QString appBuildNumber();

// What a build system hands over, with the fallbacks applied: an empty text gives the fallback.
QString versionOr(const char* value, const char* fallback);

}  // namespace quellor
