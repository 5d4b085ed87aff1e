#pragma once
// The file panels of the setup commands, shared by the main window and the startup screen.
//
// Threads: main thread only (they run a modal panel).
#include <QString>
#include <optional>

class QWidget;

namespace quellor {

// Picks one setup file to open; nothing when cancelled.
std::optional<QString> openSetupFilePanel(QWidget* parent);
// Picks where to export a setup, suggesting "<name>.quellorsetup"; nothing when cancelled.
std::optional<QString> exportSetupFilePanel(QWidget* parent, const QString& suggestedName);

}  // namespace quellor
