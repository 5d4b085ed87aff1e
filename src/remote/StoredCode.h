#pragma once
// A six-digit code kept in the user defaults: loaded at creation, replaced (and written back) when
// the stored value is missing or not exactly six ASCII digits, renewed on request. A code stored
// as a number of six digits is kept (and stored again as text); a stored value that is replaced
// is logged with its kind, never with the code. The pairing PIN and the control password are the
// two such codes; the program holds no code of its own.
//
// Threads: main thread only.

#include <QObject>
#include <QString>

#include "base/UserDefaults.h"

namespace quellor {

class StoredCode : public QObject {
    Q_OBJECT
public:
    StoredCode(UserDefaults& defaults, QString key);

    const QString& code() const { return code_; }
    // Makes a new code, publishes it (observers hear of it only when it differs) and stores it,
    // even when it happens to equal the old one.
    void regenerate();

    // Six uniformly random decimal digits from the system's random source, leading zeros kept.
    static QString generate();
    static bool isValid(const QString& code);

signals:
    void codeChanged();

private:
    UserDefaults& defaults_;
    QString key_;
    QString code_;
};

}  // namespace quellor
