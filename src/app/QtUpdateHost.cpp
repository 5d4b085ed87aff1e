#include "app/QtUpdateHost.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace quellor {

namespace {

// A window-modal dialog shown over `window`: what another platform calls an attached sheet.
QList<QDialog*> attachedSheets(QWidget* window) {
    QList<QDialog*> sheets;
    for (QDialog* dialog : window->findChildren<QDialog*>()) {
        if (dialog->isVisible() && dialog->isWindow() && dialog->windowModality() == Qt::WindowModal) sheets.append(dialog);
    }
    return sheets;
}

}  // namespace

QtUpdateHost::QtUpdateHost(QObject* parent) : UpdateHost(parent) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive) emit didResignActive();
        });
    }
}

QWidget* QtUpdateHost::presentingWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || qobject_cast<QDialog*>(w) || w->windowType() == Qt::Popup ||
            w->windowType() == Qt::ToolTip)
            continue;
        if (!attachedSheets(w).isEmpty()) continue;
        return w;
    }
    return nullptr;
}

bool QtUpdateHost::isActive() const { return QGuiApplication::applicationState() == Qt::ApplicationActive; }

void QtUpdateHost::presentAlert(const Alert& alert, std::function<void(int)> answer) {
    QWidget* parent = presentingWindow();
    auto* box = new QMessageBox(parent);
    box->setObjectName(QStringLiteral("update-alert"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("Quellor"));
    box->setText(alert.message);
    box->setInformativeText(alert.informativeText);
    QList<QAbstractButton*> buttons;
    for (int i = 0; i < alert.buttons.size(); ++i) {
        QPushButton* b = box->addButton(alert.buttons[i], i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        if (i == 0) box->setDefaultButton(b);
        buttons.append(b);
    }
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [buttons, answer](QAbstractButton* clicked) {
        if (answer) answer(int(buttons.indexOf(clicked)));
    });
    box->show();
}

void QtUpdateHost::endAttachedSheets() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QDialog*>(w)) continue;
        for (QDialog* sheet : attachedSheets(w)) sheet->reject();
    }
}

void QtUpdateHost::requestTermination() { QCoreApplication::quit(); }

}  // namespace quellor
