#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

// What a shell command printed (stdout and stderr) and its exit code (-1 when
// it did not exit normally).
struct CommandRun {
    int status = -1;
    std::string output;
};

inline CommandRun RunShell(const std::string& command) {
    CommandRun run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
