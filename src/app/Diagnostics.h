#pragma once
// The diagnostics text that "Copy Diagnostics" puts on the clipboard, line by line:
//
//   Quellor 0.1 (0)
//   Debian GNU/Linux 12 (bookworm)              <- the system's pretty name
//   Machine Standard PC (Q35 + ICH9, 2009)      <- /sys/class/dmi/id/product_name, or "unknown"
//   MAIN device: Scarlett 8i6 — 8 ch           <- these six lines only while the engine exists
//   Channel pairing: MAIN 1/2, PHONES 3/4       <- only with a current output device
//   Active taps: 2
//   Buffer: Automatic (≈ 11.2 ms out), minimum latency off
//   MIDI mappings: 0
//   Phone paired: no
//
// The lines are joined with single line feeds, with none at the end.
//
// Threads: main thread (reads the engine and the standard user defaults).
#include <QString>

#include "engine/BusLayout.h"

namespace quellor {

class MixerEngine;

struct SystemFacts {
    QString shortVersion;
    QString buildNumber;
    QString osVersion;
    QString machineModel;
};

// The running system: the version of this build, the system's pretty name and the machine model.
SystemFacts currentSystemFacts();

// The machine's product name from the firmware table at `path`, up to its first NUL byte, spaces
// trimmed; "unknown" when it is absent, unreadable or empty.
QString hardwareModel(const QString& path = QStringLiteral("/sys/class/dmi/id/product_name"));

// "MAIN 1/2, PHONES 3/4" for offsets 0 and 2: one-based channel numbers of each pair.
QString busPairingSummary(const BusLayout& layout);

// The whole text; without an engine only the first three lines.
QString diagnosticsText(const SystemFacts& system, const MixerEngine* engine, int midiMappingCount);

}  // namespace quellor
