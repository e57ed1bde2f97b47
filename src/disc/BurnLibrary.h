#pragma once

#include <string>
#include <vector>

struct burn_source;

namespace trelmig {

// libburn and libisofs are set up once per process and stay up until it
// ends. Their messages are queued, not printed: the engine reports them.
bool InitializeDiscLibraries();

struct LibraryMessage {
    bool fromIsofs = false;
    int code = 0;
    int osErrno = 0;
    std::string severity;
    std::string text;
};

// Takes every queued message of both libraries. libisofs names the file of
// a following file error in a message of severity "ERRFILE".
std::vector<LibraryMessage> TakeLibraryMessages();
// Whether libburn refused to start a job because a finished one's thread
// has not ended yet (it lingers a moment after the drive reports idle, and a
// drive acquired meanwhile may be taken for the old one). Removes the
// refusal from the messages.
bool TakeDriveBusyRefusal();
// True for severities that mean an operation went wrong (SORRY and above).
bool IsErrorSeverity(const std::string& severity);

// Stops an image stream made by libisofs that will not be written, and drops
// the reference to it.
void DiscardImageStream(::burn_source* stream);

} // namespace trelmig
