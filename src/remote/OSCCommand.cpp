#include "remote/OSCCommand.h"

namespace quellor {

std::optional<OSCCommand> OSCCommand::parse(const QString& address) {
    static const QString prefix = QStringLiteral("/quellor/");
    if (!address.startsWith(prefix)) return std::nullopt;
    const QStringList parts = address.mid(prefix.size()).split(u'/', Qt::KeepEmptyParts);

    if (parts.size() == 1) {
        const QString& word = parts[0];
        if (word == u"rec") return record();
        if (word == u"panic") return panic();
        if (word == u"lock") return lock();
        return std::nullopt;
    }
    if (parts.size() == 2) {
        const QString& head = parts[0];
        const QString& tail = parts[1];
        if (head == u"main") {
            if (tail == u"up") return mainUp();
            if (tail == u"down") return mainDown();
            if (tail == u"mute") return mainMute();
        } else if (head == u"phones") {
            if (tail == u"up") return phonesUp();
            if (tail == u"down") return phonesDown();
        } else if (head == u"scene") {
            auto n = stripIndex(tail);
            if (n && *n >= 1) return scene(*n);
        }
        return std::nullopt;
    }
    if (parts.size() == 3 && parts[0] == u"strip") {
        auto n = stripIndex(parts[1]);
        if (!n || *n < 1 || *n > 16) return std::nullopt;
        const QString& action = parts[2];
        if (action == u"fader") return stripFader(*n);
        if (action == u"mute") return stripMute(*n);
        if (action == u"cue") return stripCue(*n);
        if (action == u"solo") return stripSolo(*n);
    }
    return std::nullopt;
}

std::optional<int> OSCCommand::stripIndex(const QString& text) {
    if (text.isEmpty() || text.size() > 4) return std::nullopt;
    int n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

std::optional<QString> OSCCommand::slotRouteID(int strip, const QStringList& routeSlots, int stripCount) {
    const int limit = (stripCount == 8 || stripCount == 16) ? stripCount : 8;
    if (strip < 1 || strip > limit || strip - 1 >= routeSlots.size()) return std::nullopt;
    const QString& id = routeSlots[strip - 1];
    if (id.isEmpty()) return std::nullopt;
    return id;
}

}  // namespace quellor
