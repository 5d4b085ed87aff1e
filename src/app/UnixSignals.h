#pragma once
// Turns SIGINT and SIGTERM into a clean QCoreApplication::quit() on the main thread
// (a self-pipe watched by a QSocketNotifier; the handler itself only writes one byte).

#include <QObject>

class QSocketNotifier;

namespace quellor {

class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject* parent = nullptr);
    ~UnixSignals() override;

signals:
    void quitRequested(int signal);

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quellor
