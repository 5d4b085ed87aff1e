#pragma once
// Which recordings to delete so that the rest fit a size cap: the oldest first, until the total is
// within the cap. A pure function, so that the choice can be tested without a file system.
// Any thread.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace quellor {

class RetentionPolicy {
public:
    struct Take {
        QString id;          // the file name
        qint64 bytes = 0;
        QDateTime modified;  // invalid = the distant past
        bool operator==(const Take&) const = default;
    };

    // The ids to delete, oldest first; takes with equal dates keep their input order. Nothing when
    // capBytes <= 0 or the total is within the cap.
    static QStringList takesToDelete(std::vector<Take> takes, qint64 capBytes);

    // Milliseconds for ordering dates; the distant past for an invalid date.
    static qint64 sortKey(const QDateTime& date);
};

}  // namespace quellor
