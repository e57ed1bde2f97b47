#include "platform/Crontab.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace trelmig {

namespace {

struct ProgramResult {
    int exitCode = -1; // -1 when killed by a signal
    std::string out;
    std::string err;
};

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
        throw CrontabError(std::string("cannot create a pipe: ") +
                           std::generic_category().message(errno));
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
}

// Runs the program with the input on its stdin and collects what it writes.
// Messages are asked for in the C locale so that they can be recognised.
ProgramResult runProgram(const std::vector<std::string>& argv, const std::string& input) {
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
        throw CrontabError("cannot run " + argv[0] + ": " + std::generic_category().message(rc));
    inRead.reset();
    outWrite.reset();
    errWrite.reset();

    const SigpipeHeld sigpipeHeld;
    ProgramResult result;
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
        throw CrontabError(argv[0] + " did not read the whole table");
    return result;
}

std::vector<std::string> baseArgs(const Crontab::Program& p) {
    std::vector<std::string> args{p.path};
    if (p.user) {
        args.push_back("-u");
        args.push_back(*p.user);
    }
    return args;
}

std::string firstLine(std::string text) {
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string failure(const std::string& what, const ProgramResult& r) {
    std::string msg = firstLine(r.err);
    if (msg.empty())
        msg = r.exitCode < 0 ? "killed" : "exit status " + std::to_string(r.exitCode);
    return what + ": " + msg;
}

// The table's lines; a last line without its line break counts too.
std::vector<std::string> linesOf(const std::string& table) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < table.size()) {
        const auto end = table.find('\n', start);
        lines.push_back(table.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

} // namespace

std::string Crontab::ReadTable() const {
    auto args = baseArgs(program_);
    args.push_back("-l");
    const ProgramResult r = runProgram(args, {});
    if (r.exitCode == 0)
        return r.out;
    if (r.exitCode > 0 && r.out.empty() && r.err.starts_with("no crontab for "))
        return {};
    throw CrontabError(failure("crontab -l failed", r));
}

void Crontab::WriteTable(const std::string& table) const {
    auto args = baseArgs(program_);
    args.push_back("-");
    const ProgramResult r = runProgram(args, table);
    if (r.exitCode != 0)
        throw CrontabError(failure("crontab could not install the new table", r));
}

bool Crontab::Update(const std::function<bool(std::string&)>& change) const {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::string before = ReadTable();
        std::string table = before;
        if (!change(table))
            return false;
        if (ReadTable() != before)
            continue;
        WriteTable(table);
        return true;
    }
    throw CrontabError("the crontab kept changing while it was being updated; try again");
}

int Crontab::AddJob(const AtInfo& info, const std::filesystem::path& winePrefix,
                    const std::filesystem::path& passwordFile) const {
    int number = 0;
    // Checks the record before anything is read or written.
    CronJobLine(info, 1, winePrefix, passwordFile);
    Update([&](std::string& table) {
        int highest = 0;
        for (const auto& line : linesOf(table))
            highest = std::max(highest, CronJobNumber(line).value_or(0));
        if (highest == std::numeric_limits<int>::max())
            throw CrontabError("the crontab holds job number " + std::to_string(highest) +
                               ", the highest there can be: remove that job first");
        number = highest + 1;
        if (!table.empty() && table.back() != '\n')
            table += '\n';
        table += CronJobLine(info, number, winePrefix, passwordFile) + "\n";
        return true;
    });
    return number;
}

std::vector<CronJob> Crontab::Jobs() const {
    std::vector<CronJob> jobs;
    for (const auto& line : linesOf(ReadTable()))
        if (auto job = ParseCronJobLine(line))
            jobs.push_back(std::move(*job));
    return jobs;
}

std::optional<CronJob> Crontab::RemoveJob(int number) const {
    std::optional<CronJob> removed;
    Update([&](std::string& table) {
        std::string kept;
        bool found = false;
        std::size_t start = 0;
        while (start < table.size()) {
            auto end = table.find('\n', start);
            end = end == std::string::npos ? table.size() : end + 1;
            const std::string line = table.substr(start, end - start);
            std::string bare = line;
            if (!bare.empty() && bare.back() == '\n')
                bare.pop_back();
            const auto first = bare.find_first_not_of(" \t");
            const bool isJob =
                first != std::string::npos && bare[first] != '#' && CronJobNumber(bare) == number;
            if (isJob) {
                found = true;
                removed = ParseCronJobLine(bare);
                if (!removed)
                    removed = CronJob{number, {}, {}, {}, false};
            } else {
                kept += line;
            }
            start = end;
        }
        table = kept;
        if (!found)
            removed.reset();
        return found;
    });
    return removed;
}

} // namespace trelmig
