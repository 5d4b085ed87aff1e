#include "app/SplitDrag.h"

#include <algorithm>

namespace quellor {

double SplitDrag::changed(double current, double translation) {
    if (!startSize_) startSize_ = current;
    double d = growsAway_ ? -translation : translation;
    double size = *startSize_ + d;
    if (size <= lower_) size = lower_;
    return std::min(upper_, size);
}

}  // namespace quellor
