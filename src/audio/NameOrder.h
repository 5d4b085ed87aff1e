#pragma once
// Orders display names the way the user expects: by the user's locale, ignoring case ("alpha"
// before "Beta"). A collator comparison is a strict weak order, so it is safe inside std::sort and
// std::stable_sort; names that compare equal ("Alpha", "alpha") keep their incoming order in a
// stable sort.
//
// Threads: one instance per thread (a collator is not shared across threads).

#include <QCollator>
#include <QString>

namespace quellor {

class NameOrder {
public:
    NameOrder();
    // True when a sorts strictly before b.
    bool operator()(const QString& a, const QString& b) const { return collator_.compare(a, b) < 0; }

private:
    QCollator collator_;
};

}  // namespace quellor
