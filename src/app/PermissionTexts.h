#pragma once
// The words of the audio-capture permission window and banner.
#include <QString>

namespace quellor::permission {

inline const QString kWindowTitle = QStringLiteral("Quellor");
inline const QString kHeadline = QStringLiteral("Quellor needs permission to hear your apps");
// The audio server decides: PipeWire always lets Quellor capture; a simulated world follows its file.
inline const QString kExplanation = QStringLiteral(
    "To set an app's volume, Quellor processes that app's audio — so the audio system has to let it capture "
    "what the other apps play. Until it does, the faders will not move anything.\n\n"
    "Quellor does not record or store your audio, and no audio ever leaves this computer.");
inline const QString kInstruction = QStringLiteral(
    "On PipeWire Quellor may always capture. In a simulated world its file decides: set \"capturePermission\" "
    "to true there, then reopen the app.");
inline const QString kNotNow = QStringLiteral("Not Now");
inline const QString kOpenSettings = QStringLiteral("Open Privacy Settings");

inline const QString kBannerTitle = QStringLiteral("Audio access needed");
inline const QString kBannerDetail = QStringLiteral("Allow Quellor to record system audio in Privacy & Security.");
inline const QString kBannerButton = QStringLiteral("Open");

}  // namespace quellor::permission
