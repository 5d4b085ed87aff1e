#pragma once
// The remote command vocabulary: strip fader, mute, cue and solo (strips 1...16), scene (1...9999),
// record, panic, MAIN and PHONES volume steps, MAIN mute and the console lock. A command travels
// with the message's optional value; it never holds the value itself.
//
// Pure value type and pure functions; any thread.

#include <QString>
#include <QStringList>
#include <optional>

namespace quellor {

class OSCCommand {
public:
    enum class Kind {
        StripFader, StripMute, StripCue, StripSolo, Scene,
        Record, Panic, MainUp, MainDown, MainMute, PhonesUp, PhonesDown, Lock
    };

    static OSCCommand stripFader(int n) { return {Kind::StripFader, n}; }
    static OSCCommand stripMute(int n) { return {Kind::StripMute, n}; }
    static OSCCommand stripCue(int n) { return {Kind::StripCue, n}; }
    static OSCCommand stripSolo(int n) { return {Kind::StripSolo, n}; }
    static OSCCommand scene(int n) { return {Kind::Scene, n}; }
    static OSCCommand record() { return {Kind::Record}; }
    static OSCCommand panic() { return {Kind::Panic}; }
    static OSCCommand mainUp() { return {Kind::MainUp}; }
    static OSCCommand mainDown() { return {Kind::MainDown}; }
    static OSCCommand mainMute() { return {Kind::MainMute}; }
    static OSCCommand phonesUp() { return {Kind::PhonesUp}; }
    static OSCCommand phonesDown() { return {Kind::PhonesDown}; }
    static OSCCommand lock() { return {Kind::Lock}; }

    Kind kind() const { return kind_; }
    // The strip or scene number; 0 for commands without one.
    int number() const { return number_; }

    // The command an address names ("/quellor/strip/3/fader"), or nothing. Exact and case-sensitive.
    static std::optional<OSCCommand> parse(const QString& address);
    // 1 to 4 ASCII digits read as a decimal number ("007" is 7); anything else gives nothing.
    static std::optional<int> stripIndex(const QString& text);
    // The route id in the console slot of strip n, or nothing when n lies outside the console
    // (strip count 8 or 16; any other count means 8) or outside `routeSlots`, or the slot is empty.
    static std::optional<QString> slotRouteID(int strip, const QStringList& routeSlots, int stripCount);

    friend bool operator==(const OSCCommand&, const OSCCommand&) = default;

private:
    OSCCommand(Kind kind, int number = 0) : kind_(kind), number_(number) {}
    Kind kind_;
    int number_;
};

}  // namespace quellor
