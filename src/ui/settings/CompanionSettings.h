#pragma once
// What the companion and OSC settings show and do, apart from their widgets: the connection
// status, the pairing PIN and the control password (masked until revealed; a renewed code shows at
// once), OSC reception, the password requirement and the listener's port.
//
// The port field stores only when the user presses Return: the typed number goes through
// validOSCPort (so 1023 or 65536 become 9000) and the listener restarts on it. Any other way of
// leaving the field shows the stored port again. The field never shows a port the listener is not
// using: a stored value outside 1024...65535 shows as 9000, the port the listener takes for it.
//
// Copying a code always puts its six digits, without the display's spacing, on the clipboard,
// whether or not it is revealed.
//
// The settings live in the user defaults and the codes with the remote side; this object keeps
// only the two reveal flags. `changed` tells the view to read everything again.
//
// Threads: main thread only.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace quellor {

class MixerEngine;
class UserDefaults;

// The characters of a code joined by single spaces: six digits become eleven characters.
QString spacedDigits(const QString& secret);
// Six bullets joined by single spaces: as long as a spaced six-digit code.
inline const QString kSecretMask = QStringLiteral("• • • • • •");
// The whole number typed in the port field (the user's locale, no group separators, surrounding
// spaces ignored); none when the text is not one.
std::optional<qint64> parsePortText(const QString& text);
// A port as the field shows it: decimal digits in the user's locale, without group separators.
QString portText(int port);

class CompanionSettings : public QObject {
    Q_OBJECT
public:
    // `copyText` puts a text on the clipboard (empty: the application's clipboard).
    CompanionSettings(MixerEngine& engine, UserDefaults& defaults, std::function<void(const QString&)> copyText = {},
                      QObject* parent = nullptr);

    bool isPhoneConnected() const;
    QString statusText() const;

    bool isRevealed() const { return revealed_; }
    bool isPasswordRevealed() const { return passwordRevealed_; }
    // Spaced digits while revealed, otherwise the mask.
    QString pinText() const;
    QString passwordText() const;
    void toggleRevealed();
    void togglePasswordRevealed();
    // Masks both codes again: a page shown afresh never shows a code left revealed earlier.
    void maskSecrets();
    // Renews the code through the engine, then reveals it.
    void issueNewPIN();
    void regeneratePassword();
    void copyPIN();
    void copyPassword();

    bool oscEnabled() const;
    // Stores the switch and restarts the listener, when it changes.
    void setOSCEnabled(bool on);
    bool pinRequired() const;
    void setPINRequired(bool on);

    // The port the listener uses, as the field shows it when not being edited.
    QString shownPort() const;
    // Return in the port field: a whole number is stored as validOSCPort makes it (other text
    // leaves the stored port), the stored port is made valid, and the listener restarts on it.
    void applyPort(const QString& typed);

signals:
    void changed();

private:
    MixerEngine& engine_;
    UserDefaults& defaults_;
    std::function<void(const QString&)> copyText_;
    bool revealed_ = false;
    bool passwordRevealed_ = false;
};

}  // namespace quellor
