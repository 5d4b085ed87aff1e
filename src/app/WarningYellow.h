#pragma once
// The yellow of the shell's warning banners (the capture permission, the notices).
//
// Values only: any thread.
#include <QColor>

#include "ui/style/ThemeMode.h"

namespace quellor {

// The yellow of warnings, in the theme's colour scheme.
QColor warningYellow(ThemeMode mode);

}  // namespace quellor
