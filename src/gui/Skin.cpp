#include "gui/Skin.h"

#include "gui/DarkSkin.h"
#include "gui/DataFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QWidget>

namespace trelmig {

QString LoadSkin(const QString& skinPath) {
    if (skinPath.isEmpty())
        return {};
    QFile file(skinPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString sheet = QString::fromUtf8(file.readAll());
    // Qt takes relative pictures from the working folder; the skin means
    // its own folder.
    static const QRegularExpression url(QStringLiteral(R"(url\(\s*(["']?)([^"')]*)\1\s*\))"));
    const QDir folder = QFileInfo(skinPath).absoluteDir();
    QString resolved;
    qsizetype done = 0;
    for (auto it = url.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString target = m.captured(2);
        if (target.isEmpty() || QDir::isAbsolutePath(target) || target.contains(QLatin1Char(':')))
            continue;
        resolved += sheet.mid(done, m.capturedStart() - done);
        resolved += QStringLiteral("url(\"%1\")").arg(folder.absoluteFilePath(target));
        done = m.capturedEnd();
    }
    resolved += sheet.mid(done);
    return resolved;
}

namespace {

const QString& lightSkin() {
    static const QString skin = LoadSkin(FindDataFile(QString::fromLatin1(kSkinFile)));
    return skin;
}

} // namespace

const QString& ProgramSkin() {
    static const QString dark = DarkSkin(lightSkin());
    return IsDarkPalette(QApplication::palette()) ? dark : lightSkin();
}

void ApplySkin(QWidget* window) {
    // Under an application-wide skin a second copy would only slow styling.
    if (!ProgramSkin().isEmpty() && qApp->styleSheet() != ProgramSkin())
        window->setStyleSheet(ProgramSkin());
}

void ApplySkinToApplication() {
    if (!ProgramSkin().isEmpty())
        qApp->setStyleSheet(ProgramSkin());
}

} // namespace trelmig
