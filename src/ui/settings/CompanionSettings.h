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

    // The texts the section shows as they are, in the order it shows them.
    static inline const QString kStatusTitle = QStringLiteral("Status");
    static inline const QString kPINTitle = QStringLiteral("Pairing PIN");
    static inline const QString kNewPINButton = QStringLiteral("New PIN");
    static inline const QString kNewPINHelp = QStringLiteral("Issue a new PIN and disconnect the current device");
    static inline const QString kPINNote =
        QStringLiteral("Enter it once in the companion's settings. Without the right PIN this computer ignores every message.");
    static inline const QString kOSCTitle = QStringLiteral("OSC remote control");
    static inline const QString kOSCEnabledLabel = QStringLiteral("Receive OSC control (iOS companion, Stream Deck)");
    // The port field's label and accessible name.
    static inline const QString kPortLabel = QStringLiteral("UDP port");
    static inline const QString kPortNote =
        QStringLiteral("Default 9000 (1024 to 65535). The iOS companion expects 9000, so change it only for other senders. "
                       "Press Return to apply a new port. Commands are protected by the control password below, not by "
                       "the pairing PIN.");
    static inline const QString kPasswordTitle = QStringLiteral("Stream Deck / OSC control password");
    static inline const QString kRegenerateButton = QStringLiteral("Regenerate");
    static inline const QString kRegenerateHelp =
        QStringLiteral("Issue a new control password; the old one stops working at once");
    static inline const QString kPasswordNote =
        QStringLiteral("Used in the address of the remote-control commands: /a/<password>/quellor/... It is independent "
                       "of the pairing PIN: changing one never affects the other.");
    static inline const QString kRequirePasswordLabel = QStringLiteral("Require password");
    // Shown, with the note below it, while no password is required.
    static inline const QString kOpenWarning =
        QStringLiteral("Anyone on your network can control Quellor. Use only on closed networks.");
    static inline const QString kOpenNote =
        QStringLiteral("Commands then also work without the /a/<password> prefix. The iOS companion always needs its PIN.");
    static inline const QString kSetUpTitle = QStringLiteral("Set up");
    static inline const QString kDownloadButton = QStringLiteral("Get Quellor Companion on TestFlight…");
    static inline const QString kLocalNetworkNote =
        QStringLiteral("If it does not find this computer, allow Local Network for it in iOS Settings.");
    static inline const QString kCopyButton = QStringLiteral("Copy");
    static inline const QString kShowButton = QStringLiteral("Show");
    static inline const QString kHideButton = QStringLiteral("Hide");
    // The numbered steps of setting the companion up, one a line.
    static QString setUpSteps();
    // The reveal buttons' texts: Hide while the code is revealed, otherwise Show.
    QString revealPINText() const;
    QString revealPasswordText() const;

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
