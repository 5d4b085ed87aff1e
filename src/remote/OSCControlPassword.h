#pragma once
// The control password that control surfaces put in front of commands; stored under
// "oscControlPassword". Threads: main thread only.

#include "remote/StoredCode.h"

namespace quellor {

class OSCControlPassword : public StoredCode {
public:
    explicit OSCControlPassword(UserDefaults& defaults) : StoredCode(defaults, QStringLiteral("oscControlPassword")) {}
    const QString& password() const { return code(); }
};

}  // namespace quellor
