#pragma once
// One inbound OSC message as the mixer reads it: an address and at most one value in 0...1.
// Only single messages exist here; bundles are neither read nor written.
//
// decodeOSCMessage is a pure function of the datagram; any thread.

#include <QByteArray>
#include <QString>
#include <optional>

namespace quellor {

struct OSCMessage {
    QString address;             // valid UTF-8, always begins with "/"
    std::optional<float> value;  // when present: finite and within 0...1

    friend bool operator==(const OSCMessage&, const OSCMessage&) = default;
};

// The message of one datagram, or nothing when the datagram is malformed (callers drop it
// silently). The value comes from the first argument, chosen by its type tag: 'f' a float,
// 'i' an integer divided by 127 (MIDI-style controllers), 'T' 1, 'F' 0; any other first tag, or
// none, gives a message without a value. Non-finite values drop the message; others are clamped
// to 0...1. Further arguments are ignored.
std::optional<OSCMessage> decodeOSCMessage(const QByteArray& datagram);

}  // namespace quellor
