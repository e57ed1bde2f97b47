#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trelmig {

// A program run as a child of this process, never through a shell, with
// this process's environment and a few variables more, while this thread
// reads what it writes: its standard output whole, its standard error line
// by line as it comes.
struct ChildProcessRequest {
    std::vector<std::string> argv; // argv[0] looked up on PATH
    std::string workingFolder;     // empty: this process's
    std::string input;             // its standard input; empty: /dev/null
    std::vector<std::pair<std::string, std::string>> environment; // set or replaced
    std::vector<std::string> unsetEnvironment;                    // removed
    // A secret for the program: written into a pipe, which is then closed,
    // whose reading end the program finds at the descriptor that the
    // environment variable secretVariable names. It never shows on a command
    // line or in an environment.
    std::optional<std::string> secret;
    std::string secretVariable;
    // Each line the program writes on its standard error, without the line
    // break, on the calling thread.
    std::function<void(std::string_view line)> onErrorLine;
    // Asked about five times a second; once true the program gets SIGINT
    // (and SIGTERM if it is still there ten seconds later).
    std::function<bool()> stopRequested;
};

struct ChildProcessResult {
    bool started = false; // false: the program is not installed (or not on PATH)
    int exitCode = -1;    // -1 when a signal ended it
    int signal = 0;       // the signal that ended it
    bool stopped = false; // stopRequested said so
    std::string out;
    std::string startError; // why it could not be started
};

// Throws std::runtime_error when no pipe can be made; a program that cannot
// be started is a result with started false.
ChildProcessResult RunChildProcess(const ChildProcessRequest& request);

} // namespace trelmig
