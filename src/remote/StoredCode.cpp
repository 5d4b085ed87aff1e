#include "remote/StoredCode.h"

#include <QRandomGenerator>
#include <algorithm>

#include "base/Logger.h"
#include "base/Observable.h"

namespace quellor {

StoredCode::StoredCode(UserDefaults& defaults, QString key) : defaults_(defaults), key_(std::move(key)) {
    // The log names what was found, never the code itself.
    const Logger log(QStringLiteral("StoredCode"));
    const QString stored = defaults_.stringOr(key_, QString());
    const auto number = defaults_.integerValue(key_);
    if (isValid(stored)) {
        code_ = stored;
        return;
    }
    // A hand-edited file can hold the code as a number: its six digits are the code the companion
    // was paired with, and a new one would unpair it.
    if (number && *number >= 100000 && *number <= 999999) {
        code_ = QString::number(*number);
        defaults_.setString(key_, code_);
        log.notice("\"%s\" was stored as a number; kept as the same six digits, now stored as text",
                   qPrintable(key_));
        return;
    }
    code_ = generate();
    if (defaults_.contains(key_))
        log.error("\"%s\" holds %s that is not six digits; a new code replaces it", qPrintable(key_),
                  qPrintable(defaults_.kindOf(key_)));
    defaults_.setString(key_, code_);
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
