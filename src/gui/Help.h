#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace trelmig {

// The maker, as the about box names it.
inline constexpr const char* kMakerName = "Quenvar Software";

// The help page shipped with the program (help/index.html in the data
// folders); empty when it is not installed.
QString HelpFilePath();

// Opens the help page in the desktop's browser. False when the page is
// missing or nothing could open it; the program goes on either way.
bool ShowHelp();

// What the user is told when ShowHelp fails: the help file's path, to open by
// hand, or the folders where it was looked for.
QString HelpUnavailableMessage();

// Opens a web address or a document with the desktop's default program.
// The result is not examined by the callers.
bool OpenDocument(const QString& target);

// Runs program with the URL and waits up to waitMs for its answer: false
// when it cannot be started or ends with a failure, true when it succeeded
// or is still at work by then (left running on its own).
bool StartOpener(const QString& program, const QUrl& url, int waitMs);

// What opens URLs (xdg-open by default). Tests replace it so that no
// browser starts; returns the previous opener.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener SetUrlOpener(UrlOpener opener);

} // namespace trelmig
