#pragma once

#include <QString>
#include <QStringList>

namespace trelmig {

// The folders where the program's own files (skin, help, icon) are looked
// for, in order: beside the executable, the share folder of an install
// (bin/../share/trelmig), the source tree's resources folder (a program run
// from its build tree) and the configured install folder.
QStringList DataFolders();

// Full path of a data file such as "skins/frmmain.skn"; empty when no data
// folder has it.
QString FindDataFile(const QString& relativePath);

} // namespace trelmig
