#pragma once
// The geometry of the settings family, in logical pixels: the settings window and its pages, their
// two painted controls, and the setting and recording cards of the console's top bar. The logic
// and the views read these entries; no view lays out with a number of its own.
//
// Values only: any thread.
#include <QSizeF>

namespace quellor {

struct SettingsMetrics {
    // The settings window: a fixed size, the tab bar and "Done" in a padded row, each page padded
    // on every side inside its scroll view.
    struct Window {
        static constexpr int kWidth = 560;
        static constexpr int kHeight = 640;
        static constexpr int kTabBarMaxWidth = 360;
        static constexpr int kTopBarPadding = 14;
        static constexpr int kPagePadding = 20;
        static constexpr int kDividerThickness = 1;
    };

    // A page: titled groups one under the other, and the controls of a group.
    struct Page {
        static constexpr int kGroupSpacing = 18;
        static constexpr int kItemSpacing = 8;
    };

    // The audio page, which pads itself.
    struct AudioPage {
        static constexpr int kSidePadding = 16;
        static constexpr int kVerticalPadding = 20;
        static constexpr int kSpacing = 8;
    };

    // The companion page.
    struct CompanionPage {
        static constexpr int kStatusDotSize = 8;
        static constexpr int kStatusSpacing = 8;
        static constexpr int kSecretSpacing = 10;  // between the code and its buttons
        static constexpr int kPortFieldWidth = 80;
        static constexpr int kRenewIconSize = 11;
    };

    // The general page.
    struct GeneralPage {
        static constexpr int kStripsSpacing = 8;
        static constexpr int kStripsMaxWidth = 160;
    };

    // The segmented control: a rounded row, the chosen segment a pill inset in it.
    struct Segmented {
        static constexpr int kHeight = 24;
        static constexpr double kCornerRadius = 6;
        static constexpr int kSegmentPadding = 28;  // beside the title, both sides together
        static constexpr double kPillInset = 2;
        static constexpr double kDividerInset = 6;  // above and below a hairline between segments
    };

    // The switch-style toggle: the track, then its title.
    struct Toggle {
        static constexpr int kTrackWidth = 28;
        static constexpr int kTrackHeight = 16;
        static constexpr int kGap = 8;
    };

    // A setting card of the console's top bar: the icon in the leading margin, then the switch.
    struct SettingCard {
        static constexpr double kHeight = 28;
        static constexpr double kSpacing = 8;
        static constexpr double kCornerRadius = 5;
        static constexpr double kIconHeight = 12;
        static constexpr double kLeading = 8;   // before the icon
        static constexpr double kTrailing = 8;  // after the switch
    };

    // The frame of both recording cards.
    struct RecordingCard {
        static constexpr double kHeight = 28;
        static constexpr double kCornerRadius = 5;
    };

    // The REC card: the ball's area, then the PRE/POST switch.
    struct RecCard {
        static constexpr double kSpacing = 4;
        static constexpr double kBallDiameter = 10;
        static constexpr double kBallAreaWidth = 28;
        static constexpr double kBallAreaHeight = 22;
        static constexpr double kSwitchTrailing = 8;
    };

    // The MAIN recording card: the take area, a divider, the folder button.
    struct MainRecordingCard {
        static constexpr double kDividerWidth = 1;
        static constexpr double kFolderButtonWidth = 24;
        static constexpr double kFolderSymbolSize = 10;
        static constexpr double kLatestPadding = 5;
        static constexpr double kLengthMinWidth = 38;
        static constexpr QSizeF kCanvasSize{35, 15};
        static constexpr double kCanvasLeading = 8;
        // The take area is as wide in every state (at least the clock's 72 and the take's 86), so
        // that the card keeps its size when a take starts or ends.
        static constexpr double kAreaWidth = 2 * kLatestPadding + kCanvasLeading + 35 + kLengthMinWidth;
        // The waveform's bars in the canvas.
        static constexpr double kBarPitch = 2.2;
        static constexpr double kBarWidth = 1.5;
        static constexpr double kBarMinHeight = 1.5;
        static constexpr double kBarMaxHeight = 13;
    };
};

}  // namespace quellor
