#include "ui/settings/FolderButtonWidget.h"

#include <QPainter>

#include "ui/settings/MainRecordingCard.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

FolderButtonWidget::FolderButtonWidget(ThemeController& themes, QWidget* parent)
    : QAbstractButton(parent), themes_(themes) {
    setObjectName(QStringLiteral("recordings-folder"));
    setAccessibleName(MainRecordingCard::kFolderLabel);
    setToolTip(MainRecordingCard::kFolderHelp);
    setFixedSize(int(SettingsMetrics::MainRecordingCard::kFolderButtonWidth),
                 int(SettingsMetrics::RecordingCard::kHeight));
}

void FolderButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSymbol(painter, MainRecordingCard::folderSymbolRect(size()), QStringLiteral("folder"),
                themes_.palette().textSecondary);
}

}  // namespace quellor
