#include "remote/StoredCode.h"

#include <QRandomGenerator>
#include <algorithm>

#include "base/Observable.h"

namespace quellor {

StoredCode::StoredCode(UserDefaults& defaults, QString key) : defaults_(defaults), key_(std::move(key)) {
    const QString stored = defaults_.stringOr(key_, QString());
    if (isValid(stored)) {
        code_ = stored;
    } else {
        code_ = generate();
        defaults_.setString(key_, code_);
    }
}

void StoredCode::regenerate() {
    QString fresh = generate();
    if (assignIfChanged(code_, fresh)) emit codeChanged();
    defaults_.setString(key_, code_);
}

QString StoredCode::generate() {
    // Rejection sampling: 4294967290 is the largest multiple of 10 below 2^32, so every digit is
    // equally likely.
    constexpr quint32 limit = 4294967290u;
    QString code;
    code.reserve(6);
    while (code.size() < 6) {
        const quint32 draw = QRandomGenerator::system()->generate();
        if (draw < limit) code.append(QChar(u'0' + draw % 10));
    }
    return code;
}

bool StoredCode::isValid(const QString& code) {
    return code.size() == 6 && std::all_of(code.begin(), code.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace quellor
