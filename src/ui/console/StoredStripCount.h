#pragma once
// How many strips the console shows: the integer setting "consoleStrips", 8 or 16. Anything else
// stored there (nothing, another number, another type) counts as 8 and is left as it is. Read on
// every call, so a change counts from the next call on. The console's strips and the remote strip
// commands, which address strips by number, share this one rule.
//
// Threads: main thread only (the user defaults store).

#include <QtGlobal>

namespace quellor {

class UserDefaults;

inline constexpr const char* kConsoleStripsKey = "consoleStrips";

int storedStripCount(const UserDefaults& defaults);
// The same rule for a count already read: 8 or 16 as given, anything else 8.
int stripCountOf(qint64 requested);

}  // namespace quellor
