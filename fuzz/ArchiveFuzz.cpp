// A backup archive opened as the restore does: protection, password check,
// entries, and the information file and first entry extracted.
#include "FuzzInput.h"
#include "archive/ZipArchive.h"
#include "core/ItemCatalogue.h"

using namespace trelmig;

TRELMIG_FUZZ_TARGET(Archive) {
    const std::string file = fuzz::ScratchFile(data, size, "backup.kvx");
    const std::string out = file + ".out";
    static const AnsiCodec ansi(1252);
    ZipArchive zip(ansi);
    ZipArchive::IsPasswordProtected(file);
    if (!zip.OpenZip(file))
        return 0;
    zip.SetDecryptPassword("secret");
    zip.CheckPassword();
    const auto entries = zip.Entries();
    // Extraction writes over no file: each one gets the name free.
    std::filesystem::remove(out);
    zip.ExtractEntryTo(kInfoFileName, out);
    std::filesystem::remove(out);
    if (!entries.empty())
        zip.ExtractEntryTo(entries.front().name, out);
    std::filesystem::remove(out);
    zip.CloseZip();
    return 0;
}
