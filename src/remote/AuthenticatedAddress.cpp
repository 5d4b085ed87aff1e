#include "remote/AuthenticatedAddress.h"

#include "remote/OSCCommand.h"

namespace quellor {

std::optional<AuthenticatedAddress> splitAuthenticatedAddress(const QString& address, const QString& pin,
                                                              const QString& password, bool pinRequired) {
    if (!pinRequired && OSCCommand::parse(address)) return AuthenticatedAddress{address, false, AccessCode::Password};
    static const QString prefix = QStringLiteral("/a/");
    if (!address.startsWith(prefix)) return std::nullopt;
    const qsizetype slash = address.indexOf(u'/', prefix.size());
    if (slash < 0) return std::nullopt;
    const QString code = address.mid(prefix.size(), slash - prefix.size());
    const QString inner = address.mid(slash);
    const AccessCode kind = OSCCommand::parse(inner) ? AccessCode::Password : AccessCode::PIN;
    const QString& expected = kind == AccessCode::Password ? password : pin;
    if (expected.isEmpty() || code != expected) return AuthenticatedAddress{code, true, kind};
    return AuthenticatedAddress{inner, false, kind};
}

}  // namespace quellor
