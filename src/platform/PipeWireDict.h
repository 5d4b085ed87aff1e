#pragma once
// Reading the properties PipeWire hands over as a dictionary (a global's, an object's info): a
// missing dictionary or key reads as empty text or 0.
//
// Threads: pure functions.

#include <spa/utils/dict.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace quellor {

inline std::string dictText(const spa_dict* props, const char* key) {
    const char* v = props ? spa_dict_lookup(props, key) : nullptr;
    return v ? std::string(v) : std::string();
}

// A decimal number (an id, a pid, an object.serial); 0 when absent or not a number.
inline std::int64_t dictNumber(const spa_dict* props, const char* key) {
    const char* v = props ? spa_dict_lookup(props, key) : nullptr;
    return v ? std::int64_t(std::strtoll(v, nullptr, 10)) : 0;
}

}  // namespace quellor
