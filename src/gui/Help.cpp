#include "gui/Help.h"

#include "gui/DataFiles.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace trelmig {

namespace {

UrlOpener& urlOpener() {
    static UrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

} // namespace

UrlOpener SetUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(urlOpener());
    urlOpener() = std::move(opener);
    return previous;
}

QString HelpFilePath() {
    return FindDataFile(QStringLiteral("help/index.html"));
}

bool ShowHelp() {
    const QString page = HelpFilePath();
    if (page.isEmpty())
        return false;
    return urlOpener()(QUrl::fromLocalFile(page));
}

QString HelpUnavailableMessage() {
    const QString page = HelpFilePath();
    if (!page.isEmpty())
        return QStringLiteral("The help file could not be opened: no program to show it was "
                              "found. Open it in a web browser:\n") +
               QDir::toNativeSeparators(page);
    return QStringLiteral("The help file help/index.html is not installed. It was looked for "
                          "in:\n") +
           DataFolders().join(QLatin1Char('\n'));
}

bool OpenDocument(const QString& target) {
    // A path opens as a file, anything else as a web address.
    const QUrl url =
        QFileInfo(target).isAbsolute() ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return urlOpener()(url);
}

} // namespace trelmig
