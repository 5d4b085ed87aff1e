#pragma once
// The texts of a console strip's level: the readout at the top of the strip (percent or dB, one
// setting for all strips) and what assistive technology reads for its fader, with the fader's
// adjustable action (one step up or down).
//
// Percent is the fader value times 100 in single precision, truncated: the readout never rounds
// up, so 0.999 shows 99%, never 100%, and 0.53 (52.999996 once multiplied) shows 52%.
// Levels outside 0...1 never reach a strip; were one to, it would read as the level law takes it
// (clampLevel: the nearer end, and full level for a NaN) rather than as an undefined number.
//
// Threads: pure functions; the adjustable action calls the model's setter (main thread).

#include <QString>
#include <optional>

namespace quellor {

struct StripModel;

class UserDefaults;

// The stored setting: readout in dB (true) or percent (false, the default). One setting for every
// strip: a click on any readout switches them all.
inline constexpr const char* kReadoutDBKey = "consoleReadoutDB";
bool readoutShowsDB(const UserDefaults& defaults);
void toggleReadoutUnit(UserDefaults& defaults);
inline const QString kReadoutHelp = QStringLiteral("Level: click to switch between % and dB. Right-click for fades");
// What one step of the adjustable action moves the fader by.
inline constexpr float kAccessibilityStep = 0.05f;

// "OFF" for an inactive strip; in dB "-∞" at or below 0.0005, "0.0" within 0.05 dB of full
// level (never "-0.0"), else 60·log10 of the value to one decimal; else the truncated percent.
QString readoutText(float volume, bool isActive, bool showDB);

// Int(volume × 100) in single precision, truncated toward zero.
int truncatedPercent(float volume);

// "Empty fader" for a strip without a name, else the name followed by " fader".
QString faderAccessibilityLabel(const QString& name);
// The truncated percent followed by " percent".
QString faderAccessibilityValue(float volume);

// The level one step of the adjustable action sets, within 0...1; nothing for an inactive strip.
std::optional<float> adjustedLevel(float volume, bool isActive, bool increment);
// Runs the step on the model: its setter gets the adjusted level, an inactive strip ignores it.
void adjustFader(const StripModel& model, bool increment);

}  // namespace quellor
