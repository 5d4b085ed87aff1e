#pragma once
// The two sheets of the main window (settings, the setup naming prompt) as the application's
// requests leave them. They are independent; a new prompt replaces the one shown.
//
// Threads: main thread only (it follows the application's notifications).
#include <optional>

#include "app/AppNotifier.h"

namespace quellor {

enum class SetupPrompt { New, Rename };

struct SheetState {
    bool showSettings = false;
    std::optional<SetupPrompt> setupPrompt;

    void handle(AppNotification notification);
};

}  // namespace quellor
