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
// True for severities that mean an operation went wrong (SORRY and above).
bool IsErrorSeverity(const std::string& severity);

// Drops a reference to an image stream made by libisofs.
void ReleaseImageStream(::burn_source* stream);

} // namespace trelmig
