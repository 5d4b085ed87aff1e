#include "platform/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/AtomicFile.h"
#include "platform/DesktopEntry.h"

namespace quellor {

LaunchAtLogin::LaunchAtLogin(QString entryPath, QString executable)
    : entryPath_(std::move(entryPath)), executable_(std::move(executable)) {}

QString LaunchAtLogin::standardEntryPath(const QString& appID) {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/") + appID + QStringLiteral(".desktop");
}

namespace {

// An argument of an Exec line: quoted when it holds anything but plain characters, with the
// characters that the desktop entry format reserves escaped.
QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool plain = !argument.isEmpty();
    for (QChar c : argument) plain = plain && !reserved.contains(c);
    QString text = argument;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (plain) return text;
    QString quoted;
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // The entry's own escape rules double each backslash once more.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

QByteArray LaunchAtLogin::entryText(const QString& executable) {
    // The application menu's entry, starting this executable, switched on for the session.
    QString text = QString::fromUtf8(kDesktopEntryTemplate);
    text.replace(QStringLiteral("@EXEC@"), execArgument(executable));
    return text.toUtf8() + "X-GNOME-Autostart-enabled=true\n";
}

bool LaunchAtLogin::entryEnables(const QByteArray& text) {
    bool inMainGroup = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        const int eq = line.indexOf('=');
        if (eq < 0) continue;
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1).trimmed();
        if (key == "Hidden" && value == "true") return false;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
    }
    return true;
}

bool LaunchAtLogin::isEnabled() const {
    QByteArray text;
    if (!QFileInfo(entryPath_).isFile() || !readWholeFile(entryPath_, text)) return false;
    return entryEnables(text);
}

bool LaunchAtLogin::enable() {
    if (!QDir().mkpath(QFileInfo(entryPath_).absolutePath())) return false;
    return writeFileAtomically(entryPath_, entryText(executable_));
}

bool LaunchAtLogin::disable() {
    if (!QFileInfo::exists(entryPath_)) return true;
    return QFile::remove(entryPath_);
}

}  // namespace quellor
