#include "platform/AudioConstants.h"

namespace quellor {

QString fourCCText(std::uint32_t code) {
    char c[4] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    for (char ch : c) {
        if (ch < 0x20 || ch > 0x7e) return QString::number(code);
    }
    return QStringLiteral("'%1'").arg(QString::fromLatin1(c, 4));
}

}  // namespace quellor
