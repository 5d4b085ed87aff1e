#include "ui/style/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include "base/Logger.h"

namespace quellor {
namespace {

const Logger& log() {
    static const Logger logger(QStringLiteral("Style"));
    return logger;
}

// The family to use, decided on first use: the wanted one when it is installed, otherwise the
// platform's font of that kind, and the line that says so is written then, once.
QString chooseFamily(const QString& wanted, QFontDatabase::SystemFont fallback) {
    if (QFontDatabase::families().contains(wanted, Qt::CaseInsensitive)) return wanted;
    const QString family = QFontDatabase::systemFont(fallback).family();
    log().error("The font family %s is not installed; using %s instead", qUtf8Printable(wanted),
                qUtf8Printable(family));
    return family;
}

QFont sizedFont(const QString& family, int pixelSize, QFont::Weight weight) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

}  // namespace

QFont systemFont(int pixelSize, QFont::Weight weight) {
    static const QString family = chooseFamily(kSystemFontFamily, QFontDatabase::GeneralFont);
    return sizedFont(family, pixelSize, weight);
}

QFont monoFont(int pixelSize, QFont::Weight weight) {
    static const QString family = chooseFamily(kMonospacedFontFamily, QFontDatabase::FixedFont);
    QFont font = sizedFont(family, pixelSize, weight);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

void installApplicationFont() {
    QGuiApplication::setFont(systemFont(kDefaultFontPixelSize));
}

}  // namespace quellor
