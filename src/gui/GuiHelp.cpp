#include "gui/GuiHelp.h"

#include "gui/GuiDataFiles.h"

#include <QDesktopServices>
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

bool OpenDocument(const QString& target) {
    // A path opens as a file, anything else as a web address.
    const QUrl url =
        QFileInfo(target).isAbsolute() ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return urlOpener()(url);
}

} // namespace trelmig
