#pragma once
// The geometry of the shell's windows, in logical pixels: the main window and its columns, the
// banners over them, the startup screen, the permission window and the status bar's recording
// card. The logic and the views read these entries; no view lays out with a number of its own.
//
// Values only: any thread.

namespace quellor {

struct ShellMetrics {
    // The main window's content, under its menu bar.
    struct MainWindow {
        static constexpr int kWidth = 1180;
        static constexpr int kHeight = 900;
        static constexpr int kMinWidth = 840;
        static constexpr int kMinHeight = 640;
        static constexpr int kTopBarHeight = 44;  // and a hair line under it
        static constexpr int kNoticeMargin = 8;   // around the notices, at the top of a column
    };

    // The sources column: its width, which the split handle changes within a range, and the
    // banners stacked at its top.
    struct SourcesColumn {
        static constexpr double kDefaultWidth = 344;
        static constexpr double kMinimumWidth = 300;
        static constexpr double kMaximumWidth = 520;
        // Never more than this share of the window, unless that would be under the cap's floor.
        static constexpr double kWindowShare = 0.27;
        static constexpr double kNarrowestCap = 240;
        static constexpr int kBannerSidePadding = 14;
        static constexpr int kBannerTopPadding = 12;
        static constexpr int kBannerSpacing = 8;
    };

    // The drag handle between two panes: a 1-pixel bar inside a wider grip.
    struct SplitHandle {
        static constexpr int kGripThickness = 9;
    };

    // The notices, one banner under the other.
    struct NoticeBanners {
        static constexpr int kSpacing = 6;
    };

    // The permission window: a fixed width, its column padded on every side.
    struct PermissionWindow {
        static constexpr int kWidth = 420;
        static constexpr int kPadding = 20;
        static constexpr int kSpacing = 14;
    };

    // The startup screen: a 320-wide column with 28 on each side, 30 above and 24 below; the
    // header, the buttons and the recent setups 8 apart.
    struct StartupScreen {
        static constexpr int kContentWidth = 320;
        static constexpr int kSidePadding = 28;
        static constexpr int kWindowWidth = kContentWidth + 2 * kSidePadding;  // 376
        static constexpr int kTopPadding = 30;
        static constexpr int kBottomPadding = 24;
        static constexpr int kSpacing = 8;
        static constexpr int kIconSize = 42;
        static constexpr int kHeaderSpacing = 10;
        static constexpr int kHeaderBottomPadding = 10;
        static constexpr int kButtonHeight = 30;
        static constexpr int kRecentTopPadding = 14;
        static constexpr int kRecentHeaderHeight = 13;
        static constexpr int kChevronSize = 8;
        static constexpr int kChevronSpacing = 5;
        static constexpr int kRowHeight = 28;
        static constexpr int kRowSpacing = 2;
        static constexpr int kRowPadding = 10;
        static constexpr int kRowMinimumGap = 8;
        static constexpr int kRowCornerRadius = 6;
        static constexpr int kFocusRingWidth = 2;  // just outside the element's shape
    };

    // The status bar's recording card, in its own space.
    struct MenuBarCard {
        static constexpr double kWidth = 52;
        static constexpr double kHeight = 22;
        static constexpr double kDragThreshold = 3;
    };
};

}  // namespace quellor
