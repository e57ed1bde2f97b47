#include "gui/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace trelmig {

QStringList DataFolders() {
    QStringList folders;
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty()) {
        folders << exeDir;
        folders << QDir::cleanPath(exeDir + QStringLiteral("/../share/trelmig"));
    }
#ifdef TRELMIG_RESOURCE_DIR
    // Ahead of the install folder, so that a build tree shows its own files.
    if (QFileInfo(QStringLiteral(TRELMIG_RESOURCE_DIR)).isDir())
        folders << QStringLiteral(TRELMIG_RESOURCE_DIR);
#endif
#ifdef TRELMIG_DATA_DIR
    folders << QStringLiteral(TRELMIG_DATA_DIR);
#endif
    folders.removeDuplicates();
    return folders;
}

QString FindDataFile(const QString& relativePath) {
    for (const QString& folder : DataFolders()) {
        const QFileInfo candidate(QDir(folder), relativePath);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

} // namespace trelmig
