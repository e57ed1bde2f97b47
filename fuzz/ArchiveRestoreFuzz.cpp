// A backup archive restored as "Restore Now" does: inspected, read back as
// the backup's verify does, then every item restored into a scratch copy of
// the sample prefix (the files of an item extracted several at once).
#include "FuzzInput.h"
#include "app/Environment.h"
#include "archive/ArchiveVerify.h"
#include "archive/ZipArchive.h"
#include "core/PasswordPrompt.h"
#include "core/ProgressView.h"
#include "restore/RestoreDriver.h"
#include "restore/SourceFile.h"

using namespace trelmig;

namespace {

struct FixedPassword : PasswordPrompt {
    std::optional<std::string> AskPassword() override { return "secret"; }
};

// One copy of the sample prefix per process, beside the scratch archive; the
// restores of all inputs go into it.
const std::filesystem::path& scratchPrefix() {
    static const std::filesystem::path root = [] {
        const auto folder = std::filesystem::path(fuzz::ScratchFile(nullptr, 0, "x")).parent_path();
        const auto path = folder / "prefix";
        std::filesystem::copy(TRELMIG_SAMPLE_PREFIX, path,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
        return path;
    }();
    return root;
}

} // namespace

TRELMIG_FUZZ_TARGET(ArchiveRestore) {
    const std::string file = fuzz::ScratchFile(data, size, "restore.kvx");
    fuzz::NobodyPrompter prompter;
    Environment env(WinePrefix(scratchPrefix()), prompter);
    env.Discover();
    VerifyArchive(file, "secret", env.ansi);
    ZipArchive zip(env.ansi);
    FixedPassword passwords;
    const InspectedArchive inspected = InspectBackupFile(env, zip, prompter, passwords, file);
    if (!inspected.accepted)
        return 0;
    SilentProgress progress;
    RestoreDriver driver(env, zip, prompter, progress);
    ItemSelection all;
    all.fill(true);
    driver.RunRestore(inspected, {"Outlook", all});
    return 0;
}
