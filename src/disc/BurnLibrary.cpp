#include "disc/BurnLibrary.h"

#include <algorithm>
#include <cstdint>
#include <libburn/libburn.h>
#include <libisofs/libisofs.h>
#include <mutex>
#include <utility>

namespace trelmig {

namespace {

struct Libraries {
    bool ok = false;
    Libraries() {
        if (iso_init() < 0)
            return;
        if (burn::burn_initialize() == 0) {
            iso_finish();
            return;
        }
        // Names are UTF-8 whatever the process locale says.
        iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
        burn::burn_msgs_set_severities(const_cast<char*>("SORRY"), const_cast<char*>("NEVER"),
                                       const_cast<char*>("libburn: "));
        iso_set_msgs_severities(const_cast<char*>("ALL"), const_cast<char*>("NEVER"),
                                const_cast<char*>("libisofs: "));
        ok = true;
    }
    // Left up at exit: drives still held are released by the kernel, and
    // shutting libburn down under a running write thread is worse.
};

Libraries& TheLibraries() {
    static Libraries libraries;
    return libraries;
}

} // namespace

bool InitializeDiscLibraries() {
    return TheLibraries().ok;
}

namespace {

constexpr int kDriveBusyRefusal = 0x20102; // "A drive operation is still going on"

std::mutex queueMutex;
std::vector<LibraryMessage> pending; // taken from the libraries, not yet handed out

void DrainLibraries() {
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[81];
    LibraryMessage m;
    while (burn::burn_msgs_obtain(const_cast<char*>("ALL"), &m.code, text, &m.osErrno, severity) >
           0) {
        m.fromIsofs = false;
        m.text = text;
        m.severity = severity;
        pending.push_back(m);
    }
    int imageId = 0;
    char isoText[ISO_MSGS_MESSAGE_LEN];
    while (iso_obtain_msgs(const_cast<char*>("ALL"), &m.code, &imageId, isoText, severity) > 0) {
        m.fromIsofs = true;
        m.osErrno = 0;
        m.text = isoText;
        m.severity = severity;
        pending.push_back(m);
    }
}

} // namespace

std::vector<LibraryMessage> TakeLibraryMessages() {
    if (!TheLibraries().ok)
        return {};
    std::lock_guard lock(queueMutex);
    DrainLibraries();
    return std::exchange(pending, {});
}

bool TakeDriveBusyRefusal() {
    if (!TheLibraries().ok)
        return false;
    std::lock_guard lock(queueMutex);
    DrainLibraries();
    const auto refused =
        std::remove_if(pending.begin(), pending.end(), [](const LibraryMessage& m) {
            return !m.fromIsofs && m.code == kDriveBusyRefusal;
        });
    const bool found = refused != pending.end();
    pending.erase(refused, pending.end());
    return found;
}

bool IsErrorSeverity(const std::string& severity) {
    return severity == "SORRY" || severity == "MISHAP" || severity == "FAILURE" ||
           severity == "FATAL" || severity == "ABORT";
}

void DiscardImageStream(::burn_source* stream) {
    if (!stream)
        return;
    auto* source = reinterpret_cast<burn::burn_source*>(stream);
    if (source->version >= 1 && source->cancel)
        source->cancel(source); // ends libisofs' generator thread
    burn::burn_source_free(source);
}

} // namespace trelmig
