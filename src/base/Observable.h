#pragma once
// Observable fields notify only when an assignment changes the value; an equal value is stored
// silently. Usage in a QObject:  if (assignIfChanged(volume_, v)) emit volumeChanged();

#include <utility>

namespace quellor {

template <class T, class U>
bool assignIfChanged(T& field, U&& value) {
    if (field == value) return false;
    field = std::forward<U>(value);
    return true;
}

}  // namespace quellor
