#include "remote/OSCMessage.h"

#include <QStringDecoder>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace quellor {
namespace {

// Offset just past a NUL-terminated string of `length` bytes and its zero padding.
qsizetype paddedEnd(qsizetype start, qsizetype length) { return start + length + 4 - (length % 4); }

std::optional<QString> strictUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

}  // namespace

std::optional<OSCMessage> decodeOSCMessage(const QByteArray& datagram) {
    const qsizetype size = datagram.size();
    const qsizetype addressLength = datagram.indexOf('\0');
    if (addressLength < 0) return std::nullopt;
    auto address = strictUtf8(QByteArrayView(datagram.constData(), addressLength));
    // An OSC bundle begins with "#bundle" and fails here.
    if (!address || !address->startsWith(u'/')) return std::nullopt;

    const qsizetype tagStart = paddedEnd(0, addressLength);
    if (tagStart >= size) return std::nullopt;
    const qsizetype tagEnd = datagram.indexOf('\0', tagStart);
    if (tagEnd < 0) return std::nullopt;
    const QByteArrayView tags(datagram.constData() + tagStart, tagEnd - tagStart);
    if (!strictUtf8(tags) || tags.isEmpty() || tags[0] != ',') return std::nullopt;

    const qsizetype argumentStart = paddedEnd(tagStart, tags.size());
    if (size < argumentStart) return std::nullopt;

    OSCMessage message{*address, std::nullopt};
    const char firstTag = tags.size() > 1 ? tags[1] : '\0';
    float value = 0;
    switch (firstTag) {
    case 'f':
    case 'i': {
        if (size < argumentStart + 4) return std::nullopt;
        const quint32 bits = qFromBigEndian<quint32>(datagram.constData() + argumentStart);
        if (firstTag == 'f') {
            std::memcpy(&value, &bits, sizeof value);
        } else {
            value = float(qint32(bits)) / 127.0f;
        }
        break;
    }
    case 'T': value = 1.0f; break;
    case 'F': value = 0.0f; break;
    default: return message;
    }
    if (!std::isfinite(value)) return std::nullopt;
    value = std::min(value, 1.0f);
    if (!(value > 0)) value = 0;  // negative zero included
    message.value = value;
    return message;
}

}  // namespace quellor
