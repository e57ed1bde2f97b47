#include "platform/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace trelmig {

namespace {

// The descriptor the secret's pipe is given in the child.
constexpr int kSecretFd = 3;
constexpr int kPollMilliseconds = 200;
constexpr auto kTermAfter = std::chrono::seconds(10);

class Pipe {
public:
    Pipe() {
        if (::pipe2(fds_, O_CLOEXEC) != 0)
            throw std::runtime_error(std::string("cannot create a pipe: ") +
                                     std::generic_category().message(errno));
    }
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int read() const { return fds_[0]; }
    int write() const { return fds_[1]; }
    void closeRead() { close(fds_[0]); }
    void closeWrite() { close(fds_[1]); }

private:
    static void close(int& fd) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int fds_[2] = {-1, -1};
};

std::vector<std::string> childEnvironment(const ChildProcessRequest& request) {
    const auto replaced = [&](std::string_view entry) {
        const std::string_view name = entry.substr(0, entry.find('='));
        for (const auto& [key, value] : request.environment)
            if (key == name)
                return true;
        for (const auto& key : request.unsetEnvironment)
            if (key == name)
                return true;
        return name == "LC_ALL" || name == "LANGUAGE" ||
               (request.secret && name == request.secretVariable);
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (!replaced(*e))
            env.emplace_back(*e);
    env.emplace_back("LC_ALL=C");
    for (const auto& [key, value] : request.environment)
        env.push_back(key + "=" + value);
    if (request.secret)
        env.push_back(request.secretVariable + "=" + std::to_string(kSecretFd));
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    out.reserve(strings.size() + 1);
    for (auto& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Writes the whole secret into the pipe before the child starts: a
// passphrase is far below a pipe's capacity, so this never blocks.
void fillSecretPipe(Pipe& pipe, const std::string& secret) {
    std::size_t written = 0;
    while (written < secret.size()) {
        const ssize_t n = ::write(pipe.write(), secret.data() + written, secret.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("cannot hand the secret to the program");
        written += std::size_t(n);
    }
    pipe.closeWrite();
}

class ErrorLines {
public:
    explicit ErrorLines(const std::function<void(std::string_view)>& sink) : sink_(sink) {}
    void add(const char* data, std::size_t size) {
        pending_.append(data, size);
        std::size_t start = 0;
        for (auto end = pending_.find('\n'); end != std::string::npos;
             end = pending_.find('\n', start)) {
            emit(std::string_view(pending_).substr(start, end - start));
            start = end + 1;
        }
        pending_.erase(0, start);
    }
    void finish() {
        if (!pending_.empty())
            emit(pending_);
        pending_.clear();
    }

private:
    void emit(std::string_view line) {
        if (sink_)
            sink_(line);
    }
    const std::function<void(std::string_view)>& sink_;
    std::string pending_;
};

// Writing to a program that has gone must be an error, not SIGPIPE: the
// signal is held back in this thread and the pending one discarded.
class SigpipeIgnored {
public:
    explicit SigpipeIgnored(bool needed) : needed_(needed) {
        if (!needed_)
            return;
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~SigpipeIgnored() {
        if (!needed_)
            return;
        const timespec zero{0, 0};
        while (sigtimedwait(&pipe_, nullptr, &zero) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    SigpipeIgnored(const SigpipeIgnored&) = delete;
    SigpipeIgnored& operator=(const SigpipeIgnored&) = delete;

private:
    bool needed_;
    sigset_t pipe_{};
    sigset_t old_{};
};

} // namespace

ChildProcessResult RunChildProcess(const ChildProcessRequest& request) {
    ChildProcessResult result;
    if (!request.workingFolder.empty() && !std::filesystem::is_directory(request.workingFolder))
        throw std::runtime_error("the folder " + request.workingFolder + " does not exist");
    Pipe out, err;
    std::optional<Pipe> in;
    std::optional<Pipe> secret;
    if (request.secret) {
        secret.emplace();
        fillSecretPipe(*secret, *request.secret);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (request.input.empty()) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    } else {
        in.emplace();
        posix_spawn_file_actions_adddup2(&actions, in->read(), 0);
    }
    posix_spawn_file_actions_adddup2(&actions, out.write(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.write(), 2);
    if (secret)
        posix_spawn_file_actions_adddup2(&actions, secret->read(), kSecretFd);
    if (!request.workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, request.workingFolder.c_str());

    auto env = childEnvironment(request);
    auto envp = pointers(env);
    auto argvCopy = request.argv;
    auto args = pointers(argvCopy);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.startError = std::generic_category().message(rc);
        return result;
    }
    result.started = true;
    out.closeWrite();
    err.closeWrite();
    if (secret)
        secret->closeRead();
    std::size_t inputWritten = 0;
    if (in) {
        in->closeRead();
        ::fcntl(in->write(), F_SETFL, O_NONBLOCK);
    }
    bool inOpen = in.has_value();

    ErrorLines lines(request.onErrorLine);
    bool outOpen = true, errOpen = true;
    std::optional<std::chrono::steady_clock::time_point> interruptedAt;
    bool terminated = false;
    // A program that stops reading its input must not end this process.
    const SigpipeIgnored sigpipeIgnored(in.has_value());
    while (outOpen || errOpen) {
        pollfd fds[3];
        nfds_t count = 0;
        if (inOpen)
            fds[count++] = {in->write(), POLLOUT, 0};
        if (outOpen)
            fds[count++] = {out.read(), POLLIN, 0};
        if (errOpen)
            fds[count++] = {err.read(), POLLIN, 0};
        const int ready = ::poll(fds, count, kPollMilliseconds);
        if (ready < 0 && errno != EINTR)
            break;
        if (request.stopRequested && !interruptedAt && request.stopRequested()) {
            ::kill(pid, SIGINT);
            interruptedAt = std::chrono::steady_clock::now();
            result.stopped = true;
        } else if (interruptedAt && !terminated &&
                   std::chrono::steady_clock::now() - *interruptedAt > kTermAfter) {
            ::kill(pid, SIGTERM);
            terminated = true;
        }
        for (nfds_t i = 0; ready > 0 && i < count; ++i) {
            if (!fds[i].revents)
                continue;
            if (inOpen && fds[i].fd == in->write()) {
                const ssize_t n = ::write(fds[i].fd, request.input.data() + inputWritten,
                                          request.input.size() - inputWritten);
                if (n > 0)
                    inputWritten += std::size_t(n);
                if ((n < 0 && errno != EAGAIN && errno != EINTR) ||
                    inputWritten == request.input.size()) {
                    in->closeWrite();
                    inOpen = false;
                }
                continue;
            }
            char buffer[16384];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            const bool isOut = fds[i].fd == out.read();
            if (n > 0) {
                if (isOut)
                    result.out.append(buffer, std::size_t(n));
                else
                    lines.add(buffer, std::size_t(n));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                (isOut ? outOpen : errOpen) = false;
            }
        }
    }
    lines.finish();
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

} // namespace trelmig
