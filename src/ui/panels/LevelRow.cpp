#include "ui/panels/LevelRow.h"

#include "audio/VolumeControlling.h"

namespace quellor {

LevelRow LevelRow::of(const VolumeControlling& control) {
    return {control.volume(), control.isMuted(), control.canMute(), control.canSetVolume()};
}

QString LevelRow::icon() const {
    return isMuted ? QStringLiteral("speaker.slash.fill") : QStringLiteral("speaker.wave.3.fill");
}

}  // namespace quellor
