#include "audio/NameOrder.h"

#include <QLocale>

namespace quellor {

NameOrder::NameOrder() : collator_(QLocale()) { collator_.setCaseSensitivity(Qt::CaseInsensitive); }

}  // namespace quellor
