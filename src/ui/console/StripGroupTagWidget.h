#pragma once
// The group tag of a strip's title block: the tag's letters on a small brand-coloured square.
//
// Threads: main thread only.

#include <QString>
#include <QWidget>

namespace quellor {

class ThemeController;

class StripGroupTagWidget : public QWidget {
    Q_OBJECT
public:
    StripGroupTagWidget(ThemeController& themes, QWidget* parent);

    void set(const QString& tag, const QString& help);
    const QString& tag() const { return tag_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
    QString tag_;
};

}  // namespace quellor
