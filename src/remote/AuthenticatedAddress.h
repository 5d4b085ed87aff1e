#pragma once
// The code a sender puts in front of an address: "/a/<code>/<inner address>". Commands are checked
// against the control password, every other address against the pairing PIN. Control surfaces
// that cannot send a code may send bare commands while "oscPinRequired" is off.
//
// Pure; any thread.

#include <QString>
#include <optional>

namespace quellor {

// Which code an address is checked against.
enum class AccessCode { PIN, Password };

struct AuthenticatedAddress {
    QString text;     // the inner address when accepted, the presented code when rejected
    bool rejected;    // a code came and it is wrong
    AccessCode code;  // the code it was checked against (Password for a bare command)

    friend bool operator==(const AuthenticatedAddress&, const AuthenticatedAddress&) = default;
};

// Nothing when no usable code came; {address, false} when accepted; {code, true} when the code is
// wrong. An empty expected code (not set yet) refuses every code.
std::optional<AuthenticatedAddress> splitAuthenticatedAddress(const QString& address, const QString& pin,
                                                              const QString& password, bool pinRequired);

}  // namespace quellor
