#include "ui/settings/CompanionSettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QStringList>

#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "remote/OSCListener.h"

namespace quellor {

namespace {

const QString kEnabledKey = QStringLiteral("oscEnabled");
const QString kPinRequiredKey = QStringLiteral("oscPinRequired");
const QString kPortKey = QStringLiteral("oscPort");

QLocale portLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

}  // namespace

QString spacedDigits(const QString& secret) {
    QStringList characters;
    for (QChar c : secret) characters << QString(c);
    return characters.join(QLatin1Char(' '));
}

std::optional<qint64> parsePortText(const QString& text) {
    bool ok = false;
    const qint64 value = portLocale().toLongLong(text.trimmed(), &ok);
    if (!ok) return std::nullopt;
    return value;
}

QString portText(int port) { return portLocale().toString(port); }

CompanionSettings::CompanionSettings(MixerEngine& engine, UserDefaults& defaults,
                                     std::function<void(const QString&)> copyText, QObject* parent)
    : QObject(parent), engine_(engine), defaults_(defaults), copyText_(std::move(copyText)) {
    if (!copyText_) copyText_ = [](const QString& text) { QGuiApplication::clipboard()->setText(text); };
    connect(&engine_.companion(), &CompanionFeeds::endpointChanged, this, &CompanionSettings::changed);
    connect(&defaults_, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == kEnabledKey || key == kPinRequiredKey || key == kPortKey) emit changed();
    });
}

bool CompanionSettings::isPhoneConnected() const { return engine_.companion().endpoint().has_value(); }

QString CompanionSettings::setUpSteps() {
    return QStringList{QStringLiteral("1. Install Quellor Companion on your iPhone or iPad from TestFlight."),
                       QStringLiteral("2. Put it on the same network as this computer."),
                       QStringLiteral("3. Enter the PIN above. The faders then follow the console.")}
        .join(QLatin1Char('\n'));
}

QString CompanionSettings::revealPINText() const { return revealed_ ? kHideButton : kShowButton; }

QString CompanionSettings::revealPasswordText() const { return passwordRevealed_ ? kHideButton : kShowButton; }

QString CompanionSettings::statusText() const {
    return isPhoneConnected() ? QStringLiteral("An iPhone or iPad is connected")
                              : QStringLiteral("Waiting for the companion on this network");
}

QString CompanionSettings::pinText() const {
    if (!revealed_ || !engine_.remote()) return kSecretMask;
    return spacedDigits(engine_.remote()->pairingPIN());
}

QString CompanionSettings::passwordText() const {
    if (!passwordRevealed_ || !engine_.remote()) return kSecretMask;
    return spacedDigits(engine_.remote()->controlPassword());
}

void CompanionSettings::toggleRevealed() {
    revealed_ = !revealed_;
    emit changed();
}

void CompanionSettings::togglePasswordRevealed() {
    passwordRevealed_ = !passwordRevealed_;
    emit changed();
}

void CompanionSettings::maskSecrets() {
    if (!revealed_ && !passwordRevealed_) return;
    revealed_ = passwordRevealed_ = false;
    emit changed();
}

void CompanionSettings::issueNewPIN() {
    engine_.regeneratePairingPIN();
    revealed_ = true;
    emit changed();
}

void CompanionSettings::regeneratePassword() {
    engine_.regenerateControlPassword();
    passwordRevealed_ = true;
    emit changed();
}

void CompanionSettings::copyPIN() {
    if (engine_.remote()) copyText_(engine_.remote()->pairingPIN());
}

void CompanionSettings::copyPassword() {
    if (engine_.remote()) copyText_(engine_.remote()->controlPassword());
}

bool CompanionSettings::oscEnabled() const { return storedOSCEnabled(defaults_); }

void CompanionSettings::setOSCEnabled(bool on) {
    if (on == oscEnabled()) return;
    defaults_.setBool(kEnabledKey, on);
    engine_.restartOSCListener();
}

bool CompanionSettings::pinRequired() const { return defaults_.boolOr(kPinRequiredKey, true); }

void CompanionSettings::setPINRequired(bool on) {
    // The listener reads the setting for every message: storing it is all there is to do.
    if (on != pinRequired()) defaults_.setBool(kPinRequiredKey, on);
}

QString CompanionSettings::shownPort() const { return portText(storedOSCPort(defaults_)); }

void CompanionSettings::applyPort(const QString& typed) {
    if (const auto value = parsePortText(typed)) defaults_.setInteger(kPortKey, validOSCPort(*value));
    // A value stored by someone else may still be out of range: the listener would use 9000 for
    // it, so that is what gets stored and shown.
    defaults_.setInteger(kPortKey, storedOSCPort(defaults_));
    engine_.restartOSCListener();
    emit changed();
}

}  // namespace quellor
