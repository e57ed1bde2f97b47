#include "gui/Help.h"

#include "gui/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace trelmig {

namespace {

UrlOpener& urlOpener() {
    // QDesktopServices::openUrl answers true as soon as xdg-open started,
    // also when it then finds nothing to show the page with.
    static UrlOpener opener = [](const QUrl& url) {
        return StartOpener(QStringLiteral("xdg-open"), url, 3000);
    };
    return opener;
}

} // namespace

bool StartOpener(const QString& program, const QUrl& url, int waitMs) {
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(program);
    opener->setArguments({url.toString()});
    opener->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->start();
    if (!opener->waitForStarted(waitMs)) {
        opener->deleteLater();
        return false;
    }
    if (!opener->waitForFinished(waitMs))
        return true; // still at work: it is showing the page (some run the browser itself)
    return opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
}

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
        return QCoreApplication::translate("Help",
                                           "The help file could not be opened: no program to "
                                           "show it was found. Open it in a web browser:\n") +
               QDir::toNativeSeparators(page);
    return QCoreApplication::translate(
               "Help", "The help file help/index.html is not installed. It was looked for in:\n") +
           DataFolders().join(QLatin1Char('\n'));
}

bool OpenDocument(const QString& target) {
    // A path opens as a file, anything else as a web address.
    const QUrl url =
        QFileInfo(target).isAbsolute() ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return urlOpener()(url);
}

} // namespace trelmig
