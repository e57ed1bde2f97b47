#include "repository/BorgCommand.h"
#include "repository/Repository.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace trelmig {

namespace {

bool saysNoRepository(const Error& error, const RepositoryAddress& address) {
    return error.message.find("there is no repository at " + address.url) != std::string::npos ||
           error.message.find(address.url + " is not a BorgBackup repository") != std::string::npos;
}

} // namespace

const char* EncryptionForThisMachine() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_SHA) != 0)
        return "repokey";
#endif
    return "repokey-blake2";
}

Result<void> MakeRepository(const RepositoryAddress& address, const std::string& passphrase) {
    auto call =
        MakeBorgCall(address,
                     {"init", "--encryption",
                      passphrase.empty() ? "none" : EncryptionForThisMachine(), address.url},
                     passphrase, "The repository " + address.url + " cannot be made");
    if (auto output = RunBorg(call); !output)
        return std::unexpected(output.error());
    return {};
}

Result<bool> RepositoryExists(const RepositoryAddress& address, const std::string& passphrase) {
    auto call = MakeBorgCall(address, {"info", "--json", address.url}, passphrase,
                             "The repository " + address.url + " cannot be opened");
    auto output = RunBorg(call);
    if (output)
        return true;
    if (saysNoRepository(output.error(), address))
        return false;
    return std::unexpected(output.error());
}

Result<void> CheckRepository(const RepositoryAddress& address, const std::string& passphrase,
                             bool readData, const RepositoryProgressCallback& progress,
                             const CancelToken* cancel) {
    std::vector<std::string> arguments = {"check", "--progress"};
    if (readData)
        arguments.push_back("--verify-data");
    arguments.push_back(address.url);
    auto call = MakeBorgCall(address, arguments, passphrase,
                             "The check of the repository " + address.url + " failed");
    call.progress = progress;
    call.cancel = cancel;
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    // borg check ends with the warning status when it found damage.
    if (output->warned) {
        std::string found;
        for (const auto& line : output->messages)
            if (line.level == "ERROR" || line.level == "WARNING")
                found += (found.empty() ? "" : "; ") + line.message;
        return Fail(call.what + ": " + (found.empty() ? "borg found damage." : found));
    }
    return {};
}

Result<std::string> ExportRepositoryKey(const RepositoryAddress& address,
                                        const std::string& passphrase) {
    auto call = MakeBorgCall(address, {"key", "export", "--paper", address.url}, passphrase,
                             "The key of the repository " + address.url + " cannot be exported");
    auto output = RunBorg(call);
    if (!output)
        return std::unexpected(output.error());
    return std::move(output->json);
}

Result<void> BreakLock(const RepositoryAddress& address) {
    auto call = MakeBorgCall(address, {"break-lock", address.url}, {},
                             "The lock of the repository " + address.url + " cannot be broken");
    if (auto output = RunBorg(call); !output)
        return std::unexpected(output.error());
    return {};
}

} // namespace trelmig
