#include "app/SetupFilePanels.h"

#include <QFileDialog>

namespace quellor {

std::optional<QString> openSetupFilePanel(QWidget* parent) {
    QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("Open a Quellor setup"), QString(),
                                                QStringLiteral("Quellor setups (*.quellorsetup *.json)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> exportSetupFilePanel(QWidget* parent, const QString& suggestedName) {
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export this setup"),
                                                suggestedName + QStringLiteral(".quellorsetup"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace quellor
