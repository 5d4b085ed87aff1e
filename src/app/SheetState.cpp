#include "app/SheetState.h"

namespace quellor {

void SheetState::handle(AppNotification notification) {
    switch (notification) {
    case AppNotification::ShowSettings: showSettings = true; break;
    case AppNotification::DismissSheets:
        showSettings = false;
        setupPrompt.reset();
        break;
    case AppNotification::NewSetup: setupPrompt = SetupPrompt::New; break;
    case AppNotification::RenameSetup: setupPrompt = SetupPrompt::Rename; break;
    }
}

}  // namespace quellor
