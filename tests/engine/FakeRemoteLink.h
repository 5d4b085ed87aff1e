#pragma once
// Records what the engine hands to the remote-control side.
#include <QString>
#include <vector>

#include "base/Scheduler.h"

#include "engine/RemoteLink.h"

namespace quellor::test {

class FakeRemoteLink : public RemoteLink {
public:
    struct Sent {
        QString host;
        int port;
        QString address;
        float value;
    };

    QString pin = QStringLiteral("123456");
    QString password = QStringLiteral("654321");
    // A companion feed message and when it was sent.
    struct Text {
        QString text;
        NetworkEndpoint to;
        QString address;
        double at;
    };

    std::vector<QString> calls;  // in order: "pin:<pin>", "password:<pw>", "restart"
    std::vector<Sent> sent;
    std::vector<TotalMixCommand> routing{{"/1/a", 1.0f}, {"/1/b", 0.5f}, {"/1/c", 0.0f}, {"/1/d", 1.0f},
                                         {"/1/e", 1.0f}, {"/1/f", 0.0f}, {"/1/g", 1.0f}, {"/1/h", 0.25f}};

    QString pairingPIN() const override { return pin; }
    QString controlPassword() const override { return password; }
    void setListenerPairingPIN(const QString& p) override { calls.push_back("pin:" + p); }
    void setListenerControlPassword(const QString& p) override { calls.push_back("password:" + p); }
    std::vector<TotalMixCommand> totalMixDefaultRouting(int, int) const override { return routing; }
    void sendFloat(const QString& host, int port, const QString& address, float value) override {
        sent.push_back({host, port, address, value});
    }

    std::vector<Text> texts;
    std::vector<NetworkEndpoint> cancelled;
    void sendCompanionText(const QString& text, const NetworkEndpoint& to, const QString& address) override {
        texts.push_back({text, to, address, Scheduler::current().now()});
    }
    void cancelCompanionConnection(const NetworkEndpoint& to) override { cancelled.push_back(to); }
    void restartOSCListener() override { calls.push_back("restart"); }
    // New codes count up from the stored ones.
    QString regeneratePairingPIN() override { return pin = QString::number(pin.toInt() + 1); }
    QString regenerateControlPassword() override { return password = QString::number(password.toInt() + 1); }
};

}  // namespace quellor::test
