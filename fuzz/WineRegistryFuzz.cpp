// Registry files of a Wine prefix: read, written back and read again; a file
// with links is then loaded as a prefix's user.reg and every key's path looked
// up, links followed.
#include "FuzzInput.h"
#include "platform/Utf.h"
#include "platform/WineRegistry.h"

#include <functional>

using namespace trelmig;

TRELMIG_FUZZ_TARGET(WineRegistry) {
    try {
        const RegHive hive = parseWineRegistry(fuzz::Text(data, size), "user.reg");
        parseWineRegistry(formatWineRegistry(hive), "written.reg");
        if (fuzz::Text(data, size).find("#link") == std::string_view::npos)
            return 0; // lookups are worth loading a prefix only where links lead elsewhere

        const std::filesystem::path file = fuzz::ScratchFile(data, size, "user.reg");
        const WineRegistry registry{WinePrefix(file.parent_path())};
        int lookups = 0;
        std::function<void(const RegNode&, const std::string&)> visit =
            [&](const RegNode& node, const std::string& path) {
                for (const auto& sub : node.subkeys) {
                    if (++lookups > 200)
                        return;
                    const std::string subPath =
                        path + (path.empty() ? "" : "\\") + utf16ToUtf8(sub->name);
                    registry.keyExists(RootKey::CurrentUser, subPath);
                    registry.valueAt(RootKey::CurrentUser, subPath, 0);
                    visit(*sub, subPath);
                }
            };
        visit(*hive.root, "");
    } catch (const RegistryError&) {
    }
    return 0;
}
