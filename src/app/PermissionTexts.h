#pragma once
// The words of the audio-capture permission window and banner.
#include <QString>

namespace quellor::permission {

inline const QString kWindowTitle = QStringLiteral("Quellor");
inline const QString kHeadline = QStringLiteral("Quellor needs permission to hear your apps");
inline const QString kExplanation = QStringLiteral(
    "To set an app's volume, Quellor processes that app's audio — so the system counts it as recording system "
    "audio and asks you first. Until you allow it, the faders will not move anything.\n\n"
    "Quellor does not record or store your audio, and no audio ever leaves this computer.");
inline const QString kInstruction =
    QStringLiteral("Privacy & Security → Audio Recording → switch Quellor on, then reopen the app.");
inline const QString kNotNow = QStringLiteral("Not Now");
inline const QString kOpenSettings = QStringLiteral("Open Privacy Settings");

inline const QString kBannerTitle = QStringLiteral("Audio access needed");
inline const QString kBannerDetail = QStringLiteral("Allow Quellor to record system audio in Privacy & Security.");
inline const QString kBannerButton = QStringLiteral("Open");

}  // namespace quellor::permission
