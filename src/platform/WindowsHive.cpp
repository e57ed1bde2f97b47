#include "platform/WindowsHive.h"

#include "platform/Utf.h"
#include "platform/WineRegistryFormat.h"

#include <hivex.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace trelmig {

namespace {

// hivex hands out malloc'd memory.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Owned = std::unique_ptr<T, FreeDeleter>;

std::string foldedKey(const std::string& path) {
    return utf16ToUtf8(foldCase(utf8ToUtf16(path)));
}

} // namespace

struct WindowsHive::Handle {
    hive_h* h = nullptr;
};

WindowsHive::WindowsHive(const std::filesystem::path& file)
    : file_(file), handle_(std::make_unique<Handle>()) {
    // No HIVEX_OPEN_WRITE: hivex then never writes, whatever is asked of it.
    handle_->h = hivex_open(file.c_str(), 0);
    if (!handle_->h)
        throw RegistryError("Cannot read the registry hive " + file.string() + ": " +
                            std::generic_category().message(errno));
}

WindowsHive::~WindowsHive() {
    if (handle_ && handle_->h)
        hivex_close(handle_->h);
}

std::optional<std::size_t> WindowsHive::child(std::size_t node, const std::string& name) const {
    Owned<hive_node_h> children(hivex_node_children(handle_->h, node));
    if (!children)
        return std::nullopt;
    for (hive_node_h* c = children.get(); *c; ++c) {
        Owned<char> childName(hivex_node_name(handle_->h, *c));
        if (childName && equalsNoCase(childName.get(), name))
            return *c;
    }
    return std::nullopt;
}

std::optional<std::size_t> WindowsHive::find(const std::string& path) const {
    const std::string key = foldedKey(path);
    if (auto it = found_.find(key); it != found_.end())
        return it->second;
    std::optional<std::size_t> node = hivex_root(handle_->h);
    if (*node == 0)
        node.reset();
    std::size_t start = 0;
    while (node && start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            node = child(*node, path.substr(start, end - start));
        start = end + 1;
    }
    found_.emplace(key, node);
    return node;
}

std::vector<std::string> WindowsHive::subkeys(std::size_t node) const {
    std::vector<std::string> names;
    Owned<hive_node_h> children(hivex_node_children(handle_->h, node));
    for (hive_node_h* c = children.get(); c && *c; ++c)
        if (Owned<char> name(hivex_node_name(handle_->h, *c)); name)
            names.emplace_back(name.get());
    return names;
}

RegValue WindowsHive::valueOf(std::size_t value) const {
    RegValue out;
    if (Owned<char> name(hivex_value_key(handle_->h, value)); name)
        out.name = name.get();
    hive_type type = hive_t_REG_NONE;
    std::size_t length = 0;
    Owned<char> data(hivex_value_value(handle_->h, value, &type, &length));
    out.type = static_cast<std::uint32_t>(type);
    if (!data)
        return out;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.get());
    if (isStringType(out.type)) {
        // Windows stores text in UTF-16LE; the backend speaks UTF-8.
        const std::string text = utf16ToUtf8(utf16FromLeBytes({bytes, length}));
        out.data.assign(text.begin(), text.end());
    } else {
        out.data.assign(bytes, bytes + length);
    }
    return out;
}

std::vector<RegValue> WindowsHive::values(std::size_t node) const {
    std::vector<RegValue> out;
    Owned<hive_value_h> values(hivex_node_values(handle_->h, node));
    for (hive_value_h* v = values.get(); v && *v; ++v)
        out.push_back(valueOf(*v));
    return out;
}

std::optional<RegValue> WindowsHive::value(std::size_t node, const std::string& name) const {
    Owned<hive_value_h> values(hivex_node_values(handle_->h, node));
    for (hive_value_h* v = values.get(); v && *v; ++v) {
        Owned<char> key(hivex_value_key(handle_->h, *v));
        if (key && equalsNoCase(key.get(), name))
            return valueOf(*v);
    }
    return std::nullopt;
}

} // namespace trelmig
