#pragma once
// Runs the render kernel's loops of each vector width this processor has, so that every width is
// checked against the reference on a machine with the widest.

#include <vector>

#include "engine/RenderKernel.h"

namespace quellor::test {

// Limits the loops to one width until the end of the scope.
struct VectorWidth {
    explicit VectorWidth(int bits) { kernel::limitVectorBits(bits); }
    ~VectorWidth() { kernel::limitVectorBits(512); }
};

// Every width this processor has loops for, widest first.
inline std::vector<int> vectorWidths() {
    std::vector<int> widths;
    for (int bits : {512, 256, 128})
        if (bits <= kernel::widestVectorBits()) widths.push_back(bits);
    return widths;
}

}  // namespace quellor::test
