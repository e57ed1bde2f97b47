#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"
#include "repository/Repository.h"
#include "repository/RepositoryAddress.h"
#include "repository/RepositoryVersion.h"

#include <QString>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace trelmig {

// Lists a repository's versions: ListVersions, or what a test puts in its
// place. Called on a pool thread.
using VersionLister = std::function<Result<std::vector<RepositoryVersion>>(
    const RepositoryAddress& address, const std::string& passphrase)>;

// Runs work on the window's pool thread while the progress panel says
// status, and detail under it (an address, a version's name), and whatever
// would start another run waits; then finished on the
// window's thread with what work threw (null when nothing). Returns at once.
using RunInBackground =
    std::function<void(const QString& status, const QString& detail, std::function<void()> work,
                       std::function<void(std::exception_ptr)> finished)>;

// What a repository job that measures its work is given: the callback that
// shows borg's percent on the progress panel (called on the job's thread)
// and the token the panel's Cancel sets.
struct RepositoryJobControls {
    RepositoryProgressCallback progress;
    const CancelToken* cancel = nullptr;
};

// As RunInBackground, for work that tells borg's progress and stops when
// cancelled: the bar measures and Cancel works; finished also hears whether
// the user cancelled, whatever work returned.
using RunMeasuredInBackground =
    std::function<void(const QString& status, const QString& detail,
                       std::function<void(const RepositoryJobControls&)> work,
                       std::function<void(std::exception_ptr, bool cancelled)> finished)>;

} // namespace trelmig
