#pragma once
// Failure messages show stored records as their JSON text.
#include <ostream>

#include "base/JsonCoding.h"

namespace quellor::test {

template <class T>
void printAsJson(const T& record, std::ostream* os) {
    auto text = json::encode(record);
    *os << (text ? text->toStdString() : std::string("<not encodable>"));
}

}  // namespace quellor::test
