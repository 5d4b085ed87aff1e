#include "engine/IODiagnostic.h"

#include <QStringList>
#include <algorithm>

namespace quellor {

namespace {

template <class T, class Format>
QString joined(const std::array<T, IODiagnostic::kMaxBuffers>& items, std::uint32_t count,
               Format format) {
    QStringList parts;
    const std::uint32_t listed = std::min<std::uint32_t>(count, IODiagnostic::kMaxBuffers);
    for (std::uint32_t i = 0; i < listed; ++i) parts << format(items[i]);
    return parts.join(QLatin1Char(' '));
}

QString shapeText(const IODiagnostic::BufferShape& s) {
    return QStringLiteral("%1ch/%2B").arg(s.channels).arg(s.byteSize);
}

QString peakText(float p) { return QString::asprintf("%.4f", p); }

}  // namespace

QString IODiagnostic::text() const {
    if (kind == Kind::Shape) {
        return QString::asprintf("SHAPE out[%ld]: %s | in[%ld]: %s | float32=%s", long(outCount),
                                 qPrintable(joined(outShapes, outCount, shapeText)), long(inCount),
                                 qPrintable(joined(inShapes, inCount, shapeText)),
                                 isFloat32 ? "true" : "false");
    }
    return QString::asprintf(
        "PEAKDIAG n=%llu inPeaks=[%s] outPeaks=[%s] target=%f vol=%f maxTap=%f maxIn0=%f",
        static_cast<unsigned long long>(renderCount), qPrintable(joined(inPeaks, inCount, peakText)),
        qPrintable(joined(outPeaks, outCount, peakText)), double(target), double(volume),
        double(maxTap), double(maxIn0));
}

}  // namespace quellor
