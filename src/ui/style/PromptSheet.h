#pragma once
// The one-line naming sheet: a heading, a text field and Cancel / OK. It validates nothing: OK (or
// Return in the field) hands back exactly what is in the field, then closes; Cancel (or Escape)
// closes without calling back. Each presentation starts from the caller's initial text.
//
// Threads: main thread only.
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quellor {

class PromptSheet : public QDialog {
    Q_OBJECT
public:
    struct Request {
        QString title;
        QString initial;
        QString placeholder;
        std::function<void(const QString&)> onDone;
    };

    explicit PromptSheet(QWidget* parent = nullptr);

    // Shows the sheet over its parent window (window-modal), replacing any request it showed.
    void present(Request request);

    QString title() const;
    QString text() const;
    QLineEdit* field() const { return field_; }

private:
    void confirm();

    QLabel* title_;
    QLineEdit* field_;
    QPushButton* cancel_;
    QPushButton* ok_;
    std::function<void(const QString&)> onDone_;
};

}  // namespace quellor
