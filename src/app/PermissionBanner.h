#pragma once
// The notice that the sources panel shows above its tiles while the engine needs the audio-capture
// permission (its host shows it only then; it keeps no state). "Audio access needed" with the way
// to grant it, in yellow, and "Open" for the system's privacy settings; it stays until the host
// sees the permission granted.
//
// Threads: main thread only.
#include "ui/style/InlineBanner.h"

namespace quellor {

class PermissionBanner : public InlineBanner {
    Q_OBJECT
public:
    explicit PermissionBanner(ThemeController& themes, QWidget* parent = nullptr);
};

}  // namespace quellor
