#pragma once
// The system's settings page where the user lets Quellor capture the audio of other applications.
// This system has no such page to open: the call opens nothing and says so in the log, once per
// run, so that a user pressing the button again and again does not fill the log.
//
// Threads: main thread only.

namespace quellor {

// Opens the audio-capture privacy settings; false when nothing could be opened.
bool openAudioCapturePrivacySettings();

}  // namespace quellor
