#pragma once
// How many strips the console shows: the integer setting "consoleStrips", 8 or 16. Anything else
// stored there (nothing, another number, another type) counts as 8 and is left as it is. Read on
// every call, so a change counts from the next call on. The console's strips and the remote strip
// commands, which address strips by number, share this one rule.
//
// Threads: main thread only (the user defaults store).

namespace quellor {

class UserDefaults;

inline constexpr const char* kConsoleStripsKey = "consoleStrips";

int storedStripCount(const UserDefaults& defaults);

}  // namespace quellor
