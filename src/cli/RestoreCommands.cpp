#include "archive/ZipArchive.h"
#include "platform/Text.h"
#include "restore/RestoreDriver.h"
#include "restore/SourceFile.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "app/Environment.h"
#include "core/PasswordPrompt.h"
#include "core/ProgressView.h"

#include <fcntl.h>
#include <fstream>
#include <ostream>
#include <termios.h>
#include <unistd.h>

namespace trelmig {

namespace {

// The password of a protected backup file: the first line of --password-file,
// else typed at the terminal without echo. Never taken from the command line,
// where other users could read it.
class CommandLinePasswords : public PasswordPrompt {
public:
    explicit CommandLinePasswords(const std::optional<std::filesystem::path>& file) : file_(file) {}

    std::optional<std::string> AskPassword() override {
        if (file_) {
            std::ifstream in(*file_);
            if (!in)
                throw std::runtime_error("cannot read the password file " + file_->string());
            std::string line;
            std::getline(in, line);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
        if (tty < 0)
            return std::nullopt; // nobody to ask
        const std::string ask = "Password of the backup file: ";
        (void)!::write(tty, ask.data(), ask.size());
        termios old{};
        const bool isTerminal = ::tcgetattr(tty, &old) == 0;
        if (isTerminal) {
            termios quiet = old;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(tty, TCSANOW, &quiet);
        }
        std::string password;
        char c;
        while (::read(tty, &c, 1) == 1 && c != '\n')
            password.push_back(c);
        if (isTerminal)
            ::tcsetattr(tty, TCSANOW, &old);
        (void)!::write(tty, "\n", 1);
        ::close(tty);
        return password;
    }

private:
    std::optional<std::filesystem::path> file_;
};

// Messages of a restore on the command line: printed, questions answered OK.
struct Inspected {
    std::unique_ptr<Environment> env;
    std::unique_ptr<ZipArchive> zip;
    InspectionResult result;
};

Inspected inspect(const CommandLine& cmd, Prompter& prompter) {
    Inspected i;
    i.env = std::make_unique<Environment>(WinePrefix::locate(cmd.prefix), prompter);
    i.env->Discover();
    i.zip = std::make_unique<ZipArchive>(i.env->ansi);
    CommandLinePasswords passwords(cmd.passwordFile);
    i.result = InspectBackupFile(*i.env, *i.zip, prompter, passwords, cmd.archive);
    return i;
}

std::string withLf(const std::string& text) {
    return ReplaceAll(text, "\r\n", "\n");
}

} // namespace

int RunInspect(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    ConsolePrompter prompter(err);
    Inspected i = inspect(cmd, prompter);
    if (!i.result.accepted)
        return 2;
    out << "Backup file: " << i.result.sourceFile << '\n'
        << withLf(i.result.facts) << '\n'
        << "Description:\n"
        << withLf(i.result.description) << '\n'
        << "Items:\n";
    for (int k = 0; k < kItemCount; ++k)
        out << "  "
            << (i.result.restoreEnabled[static_cast<std::size_t>(k)] ? "present  " : "absent   ")
            << itemCatalogue()[static_cast<std::size_t>(k)].caption << '\n';
    return 0;
}

int RunRestoreCommand(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    ConsolePrompter prompter(err);
    Inspected i = inspect(cmd, prompter);
    if (!i.result.accepted)
        return 2;
    const auto& profiles = i.env->session.arrProfiles;
    if (std::find(profiles.begin(), profiles.end(), cmd.profile) == profiles.end()) {
        err << "trelmig: there is no Outlook profile \"" << cmd.profile << "\"\n";
        return 2;
    }
    RestoreChoices choices;
    choices.profile = cmd.profile;
    for (int k = 0; k < kItemCount; ++k) {
        const bool wanted = cmd.items[static_cast<std::size_t>(k)] == '1';
        if (wanted && !i.result.restoreEnabled[static_cast<std::size_t>(k)]) {
            err << "trelmig: the backup file does not hold "
                << itemCatalogue()[static_cast<std::size_t>(k)].caption << '\n';
            return 2;
        }
        choices.boxes[static_cast<std::size_t>(k)] = wanted;
    }
    // The restore's own completion message is the log printed here.
    ConsolePrompter report(out);
    SilentProgress progress;
    RestoreDriver driver(*i.env, *i.zip, report, progress);
    const RestoreRunResult r = driver.RunRestore(choices);
    if (!r.started)
        return 2;
    return r.allSucceeded ? 0 : 1;
}

} // namespace trelmig
