#pragma once
// Makes a RIFF/WAVE file of 4-byte samples describe exactly `frames` frames: the file is cut after
// that many frames of its "data" chunk and the RIFF and data chunk sizes are rewritten to match.
// Used when a take is closed shorter than what was written, and after a take whose writes failed.
// It never makes a file longer: a file holding fewer frames than asked keeps the whole frames it
// has. Both sizes are kept within 32 bits.
//
// The header is patched by hand rather than through libsndfile: libsndfile can only rewrite a header
// it has open for writing, and the take's file is already closed when the kept length is known.
//
// Never reports failure: a file that cannot be opened or read, or whose "data" chunk header does not
// start within the first 4,096 bytes, is left as it is. Any thread; the file must not be open for
// writing elsewhere.

#include <QString>
#include <QStringList>
#include <optional>

namespace quellor {

void repairWavHeader(const QString& path, qint64 frames, int channels);

// A take cut short (the program killed or crashed, the power lost while recording) keeps the
// header it had at its last update. This makes such a header agree with the file again: the data
// chunk runs to the last whole frame of the file (frame size from the "fmt " chunk), the RIFF size
// to the end. Never makes the file longer; a file whose header already agrees, that is not a
// RIFF/WAVE file, or that is longer than 32-bit sizes describe is left as it is. Returns the frames
// the header now describes, or nothing when the file was left as it was.
std::optional<qint64> repairInterruptedTake(const QString& path);
// Repairs every take of `folder` (files named "Quellor *" with the extension "wav" in any case) and
// logs each one repaired. Returns their paths. Run before any take is opened (at start-up).
QStringList repairInterruptedTakes(const QString& folder);

}  // namespace quellor
