#pragma once
// Owns the status bar's recording card view (MenuBarCardView), which its owner feeds and draws.
//
// Threads: main thread only.
#include <memory>

#include "app/MenuBarCardView.h"
#include "base/UserDefaults.h"

namespace quellor {

class MenuBarExportCard {
public:
    MenuBarExportCard();
    ~MenuBarExportCard();
    MenuBarCardView& view() { return *view_; }

private:
    std::unique_ptr<MenuBarCardView> view_;
};

// Writes the preferred menu-bar positions of the program's status items once; later launches keep
// whatever order the user arranged.
void seedStatusItemPositions(UserDefaults& defaults);

}  // namespace quellor
