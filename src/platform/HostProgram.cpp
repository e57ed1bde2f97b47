#include "platform/HostProgram.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace trelmig {

namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// A program that exits without reading its input must not kill this process
// with SIGPIPE: the signal is held back in this thread and discarded.
class SigpipeHeld {
public:
    SigpipeHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~SigpipeHeld() {
        const timespec zero{0, 0};
        while (sigtimedwait(&pipe_, nullptr, &zero) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }

private:
    sigset_t pipe_;
    sigset_t old_;
};

void makePipe(Fd& readEnd, Fd& writeEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("cannot create a pipe: ") +
                                 std::generic_category().message(errno));
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
}

} // namespace

HostProgramResult RunHostProgram(const std::vector<std::string>& argv, const std::string& input) {
    Fd inRead, inWrite, outRead, outWrite, errRead, errWrite;
    makePipe(inRead, inWrite);
    makePipe(outRead, outWrite);
    makePipe(errRead, errWrite);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inRead.get(), 0);
    posix_spawn_file_actions_adddup2(&actions, outWrite.get(), 1);
    posix_spawn_file_actions_adddup2(&actions, errWrite.get(), 2);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (!std::string_view(*e).starts_with("LC_ALL=") &&
            !std::string_view(*e).starts_with("LANGUAGE="))
            env.emplace_back(*e);
    env.emplace_back("LC_ALL=C");
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot run " + argv[0] + ": " +
                                 std::generic_category().message(rc));
    inRead.reset();
    outWrite.reset();
    errWrite.reset();

    const SigpipeHeld sigpipeHeld;
    HostProgramResult result;
    std::size_t written = 0;
    if (input.empty())
        inWrite.reset();
    else
        ::fcntl(inWrite.get(), F_SETFL, O_NONBLOCK);
    for (;;) {
        std::vector<pollfd> fds;
        if (inWrite.get() >= 0)
            fds.push_back({inWrite.get(), POLLOUT, 0});
        if (outRead.get() >= 0)
            fds.push_back({outRead.get(), POLLIN, 0});
        if (errRead.get() >= 0)
            fds.push_back({errRead.get(), POLLIN, 0});
        if (fds.empty())
            break;
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (const auto& p : fds) {
            if (!p.revents)
                continue;
            if (p.fd == inWrite.get()) {
                const ssize_t n = ::write(p.fd, input.data() + written, input.size() - written);
                if (n > 0)
                    written += static_cast<std::size_t>(n);
                if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size())
                    inWrite.reset();
                continue;
            }
            char buf[4096];
            const ssize_t n = ::read(p.fd, buf, sizeof buf);
            if (n > 0) {
                (p.fd == outRead.get() ? result.out : result.err).append(buf, std::size_t(n));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                (p.fd == outRead.get() ? outRead : errRead).reset();
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (written != input.size() && result.exitCode == 0)
        throw std::runtime_error(argv[0] + " did not read all of its input");
    return result;
}

} // namespace trelmig
