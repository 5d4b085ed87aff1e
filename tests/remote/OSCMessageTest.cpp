#include <gtest/gtest.h>

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "remote/OSCMessage.h"
#include "remote/OSCSender.h"

using namespace quellor;

namespace {

QByteArray padded(QByteArray text) {
    text.append('\0');
    while (text.size() % 4) text.append('\0');
    return text;
}

QByteArray bigEndian(quint32 bits) {
    char bytes[4];
    qToBigEndian(bits, bytes);
    return QByteArray(bytes, 4);
}

QByteArray floatBits(float v) {
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    return bigEndian(bits);
}

QByteArray message(const char* address, const char* tags, const QByteArray& arguments = {}) {
    return padded(address) + padded(tags) + arguments;
}

}  // namespace

TEST(OSCMessageDecode, ValuesByFirstTypeTag) {
    struct Case {
        const char* name;
        QByteArray datagram;
        std::optional<float> value;
    };
    const Case cases[] = {
        {"no arguments", message("/quellor/panic", ","), std::nullopt},
        {"float", message("/volume/a", ",f", floatBits(0.7f)), 0.7f},
        {"float above 1", message("/volume/a", ",f", floatBits(1.5f)), 1.0f},
        {"float below 0", message("/volume/a", ",f", floatBits(-0.2f)), 0.0f},
        {"negative zero", message("/volume/a", ",f", floatBits(-0.0f)), 0.0f},
        {"int 127", message("/volume/a", ",i", bigEndian(127)), 1.0f},
        {"int 64", message("/volume/a", ",i", bigEndian(64)), 64.0f / 127.0f},
        {"int -5", message("/volume/a", ",i", bigEndian(quint32(-5))), 0.0f},
        {"int 300", message("/volume/a", ",i", bigEndian(300)), 1.0f},
        {"true", message("/panic", ",T"), 1.0f},
        {"false", message("/panic", ",F"), 0.0f},
        {"string", message("/panic", ",s", padded("x")), std::nullopt},
        // The first argument decides: an integer is never read as a float's bits, and a later
        // float does not lend its value to a leading string.
        {"int then float", message("/volume/a", ",if", bigEndian(64) + floatBits(0.25f)), 64.0f / 127.0f},
        {"float then int", message("/volume/a", ",fi", floatBits(0.25f) + bigEndian(64)), 0.25f},
        {"string then float", message("/volume/a", ",sf", padded("ab") + floatBits(0.25f)), std::nullopt},
        {"8-byte address, tag at 12", message("/abcdefg", ",f", floatBits(0.5f)), 0.5f},
        {"trailing bytes ignored", message("/a", ",f", floatBits(0.5f) + QByteArray("junk", 4)), 0.5f},
    };
    for (const Case& c : cases) {
        auto decoded = decodeOSCMessage(c.datagram);
        ASSERT_TRUE(decoded) << c.name;
        EXPECT_EQ(decoded->value, c.value) << c.name;
        if (decoded->value) {
            EXPECT_FALSE(std::signbit(*decoded->value)) << c.name;
        }
    }
    EXPECT_EQ(decodeOSCMessage(message("/abcdefg", ",T"))->address, "/abcdefg");
}

TEST(OSCMessageDecode, MalformedDatagramsAreDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        QByteArray datagram;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"no NUL", QByteArray("/volume/a")},
        {"address without slash", message("volume", ",f", floatBits(0.5f))},
        {"bundle", padded("#bundle") + QByteArray(8, '\0') + bigEndian(16) + message("/a", ",f", floatBits(0.5f))},
        {"invalid UTF-8 address", message("/vol\xff", ",")},
        {"ends after padded address", padded("/quellor/panic")},
        {"tag without comma", message("/a", "f", floatBits(0.5f))},
        {"tag without NUL", padded("/a") + QByteArray(",f")},
        {"tag padding cut short", padded("/a") + QByteArray(",TTT\0", 5)},
        {"float with 3 bytes", message("/a", ",f", floatBits(0.5f).left(3))},
        {"int with no bytes", message("/a", ",i")},
        {"NaN", message("/a", ",f", floatBits(nan))},
        {"infinity", message("/a", ",f", floatBits(inf))},
        {"negative infinity", message("/a", ",f", floatBits(-inf))},
    };
    for (const Case& c : cases) EXPECT_FALSE(decodeOSCMessage(c.datagram)) << c.name;
}

TEST(OSCMessageEncode, FloatAndStringLayouts) {
    // "/1/busPlayback" is 14 bytes: two NULs pad it to 16.
    const QByteArray expectedFloat = QByteArray("/1/busPlayback\0\0", 16) + QByteArray("\x2C\x66\0\0", 4) +
                                     QByteArray("\x3F\x80\0\0", 4);
    EXPECT_EQ(OSCSender::message("/1/busPlayback", 1.0f), expectedFloat);
    EXPECT_EQ(OSCSender::message("/x", -3.5f).right(4), floatBits(-3.5f)) << "written unchanged";

    const QByteArray listTag = QByteArray("/app/list\0\0\0", 12) + QByteArray("\x2C\x73\0\0", 4);
    EXPECT_EQ(OSCSender::message("/app/list", QString()), listTag + QByteArray(4, '\0'));
    EXPECT_EQ(OSCSender::message("/app/list", QStringLiteral("abcd")), listTag + QByteArray("abcd\0\0\0\0", 8));
    EXPECT_EQ(OSCSender::message("/app/list", QStringLiteral("é")), listTag + QByteArray("\xC3\xA9\0\0", 4));

    // What is written reads back.
    auto decoded = decodeOSCMessage(OSCSender::message("/volume/com.example", 0.25f));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, (OSCMessage{"/volume/com.example", 0.25f}));
}

// Random and mutated datagrams of every length must decode or be refused without fault (the
// sanitizers watch every read), and whatever decodes must honour the message's promises.
TEST(OSCMessageDecode, SurvivesRandomAndMutatedInput) {
    std::mt19937 random(20240611);
    const QByteArray seeds[] = {
        message("/volume/com.example.app", ",f", floatBits(0.5f)),
        message("/a/123456/quellor/strip/3/fader", ",i", bigEndian(64)),
        message("/panic", ",T"),
        message("/app/list", ",s", padded("{\"apps\":[]}")),
    };
    auto check = [](const QByteArray& datagram) {
        auto decoded = decodeOSCMessage(datagram);
        if (!decoded) return;
        ASSERT_TRUE(decoded->address.startsWith(u'/'));
        if (decoded->value) {
            ASSERT_TRUE(std::isfinite(*decoded->value));
            ASSERT_GE(*decoded->value, 0.0f);
            ASSERT_LE(*decoded->value, 1.0f);
        }
    };
    for (int round = 0; round < 20000; ++round) {
        QByteArray datagram;
        if (round % 2) {
            datagram = seeds[random() % std::size(seeds)];
            const int edits = 1 + int(random() % 4);
            for (int e = 0; e < edits && !datagram.isEmpty(); ++e) {
                const auto at = qsizetype(random() % datagram.size());
                switch (random() % 3) {
                case 0: datagram[at] = char(random()); break;
                case 1: datagram.truncate(at); break;
                case 2: datagram.insert(at, char(random() % 2 ? 0 : random())); break;
                }
            }
        } else {
            datagram.resize(qsizetype(random() % 48));
            for (char& b : datagram) b = char(random() % 4 ? random() : 0);
            if (!datagram.isEmpty() && random() % 2) datagram[0] = '/';
        }
        check(datagram);
    }
    check(QByteArray(65507, '/'));
    check(QByteArray(65507, '\0'));
}
