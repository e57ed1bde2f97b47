#include "shell/GuiSkin.h"

#include "shell/GuiDataFiles.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

namespace trelmig {

QString LoadSkin(const QString& skinPath) {
    if (skinPath.isEmpty())
        return {};
    QFile file(skinPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

namespace {

const QString& programSkin() {
    static const QString skin = LoadSkin(FindDataFile(QString::fromLatin1(kSkinFile)));
    return skin;
}

} // namespace

void ApplySkin(QWidget* window) {
    // Under an application-wide skin a second copy would only slow styling.
    if (!programSkin().isEmpty() && qApp->styleSheet() != programSkin())
        window->setStyleSheet(programSkin());
}

void ApplySkinToApplication() {
    if (!programSkin().isEmpty())
        qApp->setStyleSheet(programSkin());
}

} // namespace trelmig
