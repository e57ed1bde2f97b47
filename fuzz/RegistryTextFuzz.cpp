// Registry text from an archive, imported under a key of an empty registry.
#include "FuzzInput.h"
#include "platform/WineRegistry.h"
#include "registry/RegistryText.h"

using namespace trelmig;

TRELMIG_FUZZ_TARGET(RegistryText) {
    const std::string file = fuzz::ScratchFile(data, size, "registry.txt");
    WineRegistry registry;
    registry.createKey(RootKey::CurrentUser, "Software\\Target\\Old");
    fuzz::NobodyPrompter prompter;
    static const AnsiCodec ansi(1252);
    RegistryKeys reg(registry, prompter, ansi);
    try {
        // The empty registry has no files to save to: the import fails then.
        (void)ImportRegText(reg, "HKEY_CURRENT_USER\\Software\\Target", file);
    } catch (const std::exception&) {
        // Malformed texts are refused.
    }
    return 0;
}
