#pragma once
// The recording lane of the MAIN mix. The engine only names the type (a tap can hold one); the
// lane itself is the recording layer's, which completes this declaration.

namespace quellor {

class RecordingLane;

}  // namespace quellor
