#pragma once
// Moving the mix between the engine and a setup.
//
// captureSession: a copy of `base` with the engine's records, default output UID, MAIN level
// (always), PHONES level (only with a PHONES pair), console slots and strip styles (always, empty
// when none), stamped modifiedAt = `now`; id, name and createdAt stay.
//
// applySession, in this order: replace the records and schedule their save; make the setup's
// main device the default output when present and not already default (then push the app list;
// an unknown UID changes nothing); restart mismatched taps; write every live tap's mix from its
// record (default record when none; a tap with explicit outputs that is not cued plays at 1.0,
// its volume being applied on its output devices, and keeps its mute); re-derive cue modes; set
// the MAIN level and, with a PHONES bus, the PHONES level; set the styles (empty when absent);
// only when the setup has 8 or 16 slots, pad to 16 with "" and set each; push the app list.
//
// Threads: main thread (the engine's).

#include <QDateTime>

#include "setups/MixSession.h"
#include "setups/SessionEngine.h"

namespace quellor {

MixSession captureSession(const SessionEngine& engine, const MixSession& base,
                          const QDateTime& now = QDateTime::currentDateTimeUtc());

void applySession(SessionEngine& engine, const MixSession& session);

}  // namespace quellor
