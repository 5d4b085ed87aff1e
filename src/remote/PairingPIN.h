#pragma once
// The pairing PIN that the companion app puts in front of every value address; stored under
// "companionPairingPIN". Threads: main thread only.

#include "remote/StoredCode.h"

namespace quellor {

class PairingPIN : public StoredCode {
public:
    explicit PairingPIN(UserDefaults& defaults) : StoredCode(defaults, QStringLiteral("companionPairingPIN")) {}
    const QString& pin() const { return code(); }
};

}  // namespace quellor
