#include "cli/BackupFileArgument.h"

#include "cli/CommandLine.h"
#include "core/Message.h"
#include "core/PasswordPrompt.h"
#include "core/Prompter.h"
#include "platform/SystemInfo.h"
#include "platform/WineRegistry.h"
#include "platform/WorkFolder.h"

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace trelmig {

namespace {

// The password of a protected backup file: the first line of --password-file,
// else typed at the terminal without echo. Never taken from the command line,
// where other users could read it.
class CommandLinePasswords : public PasswordPrompt {
public:
    CommandLinePasswords(const std::optional<std::filesystem::path>& file, Prompter& prompter,
                         MessageId question = MessageId::AskBackupFilePassword)
        : file_(file), prompter_(prompter), question_(question) {}

    std::optional<std::string> AskPassword() override {
        if (file_) {
            std::ifstream in(*file_);
            if (!in)
                throw std::runtime_error(
                    MessageText(MessageId::PasswordFileUnreadable, file_->string()));
            std::string line;
            std::getline(in, line);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
        if (tty < 0) {
            prompter_.ShowMessage({MessageId::NoTerminalForPassword, {}}, MessageIcon::Critical);
            return std::nullopt;
        }
        const std::string ask = MessageText(question_);
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
    Prompter& prompter_;
    MessageId question_;
};

} // namespace

namespace {

// The messages of a file named on the command line that is not there, cannot
// be read or is a folder.
struct FileRefusals {
    MessageId missing;
    MessageId unreadable;
    MessageId folder;
};
constexpr FileRefusals kBackupFileRefusals{
    MessageId::NoBackupFileAt, MessageId::BackupFileNotReadable, MessageId::BackupFileIsFolder};
constexpr FileRefusals kPasswordFileRefusals{MessageId::NoPasswordFileAt,
                                             MessageId::PasswordFileNotReadable,
                                             MessageId::PasswordFileIsFolder};

// What is wrong with a file named on the command line; none when it is a file.
std::optional<std::string> notAFile(const std::filesystem::path& path,
                                    const FileRefusals& refusals) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return MessageText(refusals.missing, path.string());
    if (ec)
        return MessageText(refusals.unreadable, path.string(), ec.message());
    if (std::filesystem::is_directory(status))
        return MessageText(refusals.folder, path.string());
    return std::nullopt;
}

// Says what is wrong with the files named, before the archive or a password
// is tried; false then.
bool namedFilesUsable(const CommandLine& cmd, Prompter& prompter) {
    const std::string problem = BackupFileArgumentProblem(cmd);
    if (!problem.empty())
        prompter.Show(problem, MessageIcon::Critical);
    return problem.empty();
}

// A password typed at the terminal and refused is asked again, three tries in
// all; one read from a file is what it is.
InspectedArchive withRetypedPasswords(const CommandLine& cmd,
                                      const std::function<InspectedArchive()>& inspect) {
    constexpr int kPasswordTries = 3;
    InspectedArchive result = inspect();
    for (int tries = 1; result.passwordRefused && !cmd.passwordFile && tries < kPasswordTries;
         ++tries)
        result = inspect();
    return result;
}

} // namespace

std::unique_ptr<PasswordPrompt> CommandLinePasswordPrompt(const CommandLine& cmd,
                                                          Prompter& prompter) {
    return std::make_unique<CommandLinePasswords>(cmd.passwordFile, prompter);
}

std::unique_ptr<PasswordPrompt> CommandLinePassphrasePrompt(const CommandLine& cmd,
                                                            Prompter& prompter) {
    return std::make_unique<CommandLinePasswords>(cmd.passwordFile, prompter,
                                                  MessageId::AskRepositoryPassphrase);
}

std::string BackupFileArgumentProblem(const CommandLine& cmd) {
    auto problem = notAFile(cmd.archive, kBackupFileRefusals);
    if (!problem && cmd.passwordFile)
        problem = notAFile(*cmd.passwordFile, kPasswordFileRefusals);
    return problem.value_or("");
}

unsigned CodePageAtHand(const CommandLine& cmd) {
    try {
        const WinePrefix prefix = WinePrefix::locate(cmd.prefix);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(prefix.systemReg(), ec))
            return 1252;
        const WineRegistry registry(prefix);
        return SystemInfo(registry, prefix).ansiCodePage();
    } catch (const std::exception&) {
        return 1252; // a prefix that cannot be read has no say in a look at a file
    }
}

InspectedArchive InspectBackupFileAlone(const CommandLine& cmd, Prompter& prompter) {
    if (!namedFilesUsable(cmd, prompter))
        return {};
    const WorkFolder work;
    const std::string infoFile = (work.path() / kInfoFileName).string();
    const AnsiCodec ansi(CodePageAtHand(cmd));
    ZipArchive zip(ansi);
    CommandLinePasswords passwords(cmd.passwordFile, prompter);
    return withRetypedPasswords(cmd, [&] {
        return InspectBackupFile(infoFile, ansi, zip, prompter, passwords, cmd.archive);
    });
}

InspectedBackupFile InspectBackupFileArgument(const CommandLine& cmd, Prompter& prompter) {
    InspectedBackupFile i;
    if (!namedFilesUsable(cmd, prompter))
        return i;
    i.env = std::make_unique<Environment>(WinePrefix::locate(cmd.prefix), prompter);
    i.env->Discover();
    i.zip = std::make_unique<ZipArchive>(i.env->ansi);
    CommandLinePasswords passwords(cmd.passwordFile, prompter);
    i.result = withRetypedPasswords(
        cmd, [&] { return InspectBackupFile(*i.env, *i.zip, prompter, passwords, cmd.archive); });
    return i;
}

} // namespace trelmig
