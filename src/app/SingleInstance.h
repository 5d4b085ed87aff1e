#pragma once
// One running copy per user. The first copy holds a lock on a file in $XDG_RUNTIME_DIR (else the
// temporary folder), writes its process id into it, and listens on a local socket beside it; a
// later launch finds the lock held, asks the running copy to show its main window, and learns where
// that copy runs from, once that copy has shown its window (so that what the later launch shows
// comes up above it). The lock is the kernel's (flock), so it goes with its process however that
// ends: a file left by a process that is gone is simply taken over.
//
// Threads: main thread only.
#include <QObject>
#include <QString>
#include <optional>

class QLocalServer;

namespace quellor {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // What a later launch learns of the running copy.
    struct OtherCopy {
        qint64 pid = 0;
        std::optional<QString> executablePath;  // from /proc/<pid>/exe when readable
    };

    // `folder` holds the lock file and the socket; empty for the standard one.
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one copy (it then listens for show requests); true again when it
    // holds the lock already. False when another copy holds the lock: `other()` tells which, and it
    // was asked to show its window and has answered (or did not within 2 s).
    bool acquire();
    const std::optional<OtherCopy>& other() const { return other_; }

    // "Another copy is running from <path>." or "... from another location."
    static QString informativeText(const std::optional<QString>& executablePath);
    static QString standardFolder();
    QString lockPath() const;
    QString socketPath() const;

    // How long a later launch waits for the running copy to say its window is up.
    static constexpr int kShownReplyTimeoutMs = 2000;

signals:
    // A later launch asked this copy to show its main window. The answer goes back once the event
    // loop has turned after the handlers ran, when the window is on the display.
    void showRequested();

private:
    void listen();
    bool askOtherToShow();

    QString folder_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    std::optional<OtherCopy> other_;
};

}  // namespace quellor
