#pragma once
// A one-line notice inside a panel: on a rounded rectangle (8 pt corners) filled with its tint at
// 10 % opacity, 8 pt inside and between the items: a symbol in the tint, a title (11 pt
// semibold) with an optional detail line below it (10 pt, secondary text colour), a flexible
// space, and one small button. The banner decides nothing: its owner sets the texts and answers
// the button.
//
// Threads: main thread only.
#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace quellor {

class ThemeController;

class InlineBanner : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPadding = 8;
    static constexpr int kSpacing = 8;
    static constexpr int kCornerRadius = 8;
    static constexpr int kSymbolSize = 14;

    InlineBanner(ThemeController& themes, QString symbol, QWidget* parent = nullptr);

    void setTint(const QColor& tint);
    void setTitle(const QString& title);
    // An empty detail hides the second line.
    void setDetail(const QString& detail);
    void setButtonTitle(const QString& title);

    QColor tint() const { return tint_; }
    QString title() const;
    QString detail() const;
    QString buttonTitle() const;
    QPushButton* button() const { return button_; }

signals:
    void buttonClicked();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void applyTheme();

    ThemeController& themes_;
    QString symbol_;
    QColor tint_;
    QWidget* symbolSlot_;
    QLabel* title_;
    QLabel* detail_;
    QPushButton* button_;
};

}  // namespace quellor
