#pragma once
// Failure messages show setups as their JSON text.
#include "engine/RecordPrinting.h"
#include "setups/MixSessionFile.h"

namespace quellor {
inline void PrintTo(const MixSession& v, std::ostream* os) { test::printAsJson(v, os); }
inline void PrintTo(const MixSessionFile& v, std::ostream* os) { test::printAsJson(v, os); }
}  // namespace quellor
