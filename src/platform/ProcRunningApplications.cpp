#include "platform/ProcRunningApplications.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace quellor {
namespace {

// Deep enough for any real process tree; a corrupted tree (a cycle) cannot keep us walking.
constexpr int kMaxParentDepth = 64;

QByteArray readSmallFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(256 * 1024);
}

struct DesktopEntry {
    std::optional<QString> name;
    std::optional<QString> icon;
};

// Reads Name (localized where the entry has a translation for the user's language) and Icon from
// the [Desktop Entry] group.
DesktopEntry readDesktopEntry(const QString& path) {
    DesktopEntry entry;
    QString locale = QLocale().name();  // "de_DE"
    QStringList nameKeys = {QStringLiteral("Name[%1]").arg(locale),
                            QStringLiteral("Name[%1]").arg(locale.section(QLatin1Char('_'), 0, 0)),
                            QStringLiteral("Name")};
    std::map<QString, QString> values;
    bool inMainGroup = false;
    for (const QByteArray& raw : readSmallFile(path).split('\n')) {
        QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        int eq = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || eq <= 0) continue;
        values.emplace(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    for (const QString& key : nameKeys) {
        auto it = values.find(key);
        if (it != values.end() && !it->second.isEmpty()) {
            entry.name = it->second;
            break;
        }
    }
    if (auto it = values.find(QStringLiteral("Icon")); it != values.end() && !it->second.isEmpty())
        entry.icon = it->second;
    return entry;
}

}  // namespace

ProcRunningApplications::ProcRunningApplications(QString procRoot, std::int32_t ownPid)
    : root_(std::move(procRoot)), ownPid_(ownPid > 0 ? ownPid : static_cast<std::int32_t>(::getpid())) {}

QString ProcRunningApplications::path(std::int32_t pid, const char* leaf) const {
    return root_ + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/') + QLatin1String(leaf);
}

std::optional<ProcRunningApplications::Process> ProcRunningApplications::read(std::int32_t pid) const {
    if (pid <= 0) return std::nullopt;
    // "<pid> (<command>) <state> <ppid> ...": the command may hold spaces and parentheses, so the
    // fields after it are found from the last ')'.
    QByteArray stat = readSmallFile(path(pid, "stat"));
    int open = stat.indexOf('(');
    int close = stat.lastIndexOf(')');
    if (open < 0 || close < open) return std::nullopt;
    QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    if (fields.size() < 2) return std::nullopt;

    Process p;
    p.pid = pid;
    p.parent = fields[1].toInt();
    p.command = QString::fromUtf8(stat.mid(open + 1, close - open - 1));

    QByteArray link(4096, '\0');
    ssize_t n = ::readlink(QFile::encodeName(path(pid, "exe")).constData(), link.data(), link.size());
    if (n > 0) {
        p.executable = QString::fromLocal8Bit(link.left(n));
        p.executable.remove(QLatin1String(" (deleted)"));
    }

    for (const QByteArray& assignment : readSmallFile(path(pid, "environ")).split('\0')) {
        if (assignment.startsWith("GIO_LAUNCHED_DESKTOP_FILE="))
            p.desktopFile = QFile::decodeName(assignment.mid(26));
        else if (assignment.startsWith("GIO_LAUNCHED_DESKTOP_FILE_PID="))
            p.launchedPid = assignment.mid(30).toInt();
    }
    return p;
}

std::optional<RunningApplication> ProcRunningApplications::application(std::int32_t pid) const {
    auto p = read(pid);
    if (!p) return std::nullopt;
    RunningApplication app;
    app.processIdentifier = pid;
    if (p->executable.isEmpty()) {
        app.activationPolicy = ActivationPolicy::Prohibited;
        app.localizedName = p->command;
        return app;
    }
    app.activationPolicy = p->launchedByDesktop() ? ActivationPolicy::Regular : ActivationPolicy::Accessory;
    if (!p->desktopFile.isEmpty()) {
        QString id = QFileInfo(p->desktopFile).fileName();
        if (id.endsWith(QLatin1String(".desktop"))) id.chop(8);
        app.bundleIdentifier = id;
        if (p->launchedByDesktop()) {
            DesktopEntry entry = readDesktopEntry(p->desktopFile);
            app.localizedName = entry.name;
            app.icon = entry.icon;
        }
    } else {
        app.bundleIdentifier = QFileInfo(p->executable).fileName();
    }
    if (!app.localizedName) app.localizedName = p->command;
    return app;
}

std::vector<RunningApplication> ProcRunningApplications::runningApplications() const {
    std::vector<std::int32_t> pids;
    for (const QString& name : QDir(root_).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        int pid = name.toInt(&ok);
        if (ok && pid > 0) pids.push_back(pid);
    }
    std::sort(pids.begin(), pids.end());
    std::vector<RunningApplication> apps;
    for (std::int32_t pid : pids)
        if (auto app = application(pid)) apps.push_back(std::move(*app));
    return apps;
}

std::optional<QString> ProcRunningApplications::ownBundleIdentifier() const {
    auto own = application(ownPid_);
    return own ? own->bundleIdentifier : std::nullopt;
}

std::optional<std::int32_t> ProcRunningApplications::responsibleProcess(std::int32_t pid) const {
    auto start = read(pid);
    if (!start) return std::nullopt;
    std::int32_t outermostSameExecutable = pid;
    bool sameExecutableChain = !start->executable.isEmpty();
    Process current = *start;
    for (int depth = 0; depth < kMaxParentDepth; ++depth) {
        if (current.launchedByDesktop()) return current.pid;
        if (current.parent <= 1 || current.parent == current.pid) break;
        auto parent = read(current.parent);
        if (!parent) break;
        sameExecutableChain = sameExecutableChain && parent->executable == start->executable;
        if (sameExecutableChain) outermostSameExecutable = parent->pid;
        current = *parent;
    }
    return outermostSameExecutable;
}

}  // namespace quellor
