#include "platform/RegistryTree.h"

#include "platform/Utf.h"

#include <algorithm>
#include <chrono>

namespace trelmig {

int compareRegNames(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(foldCase(a[i])) - static_cast<int>(foldCase(b[i]));
        if (d != 0)
            return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

namespace {

template <typename Vec, typename NameOf>
auto lowerBound(Vec& items, std::u16string_view name, NameOf nameOf) {
    // Files are written sorted, so loading appends; check the end first.
    if (items.empty() || compareRegNames(nameOf(items.back()), name) < 0)
        return items.end();
    return std::lower_bound(items.begin(), items.end(), name, [&](const auto& item, auto key) {
        return compareRegNames(nameOf(item), key) < 0;
    });
}

const std::u16string& nodeName(const std::unique_ptr<RegNode>& n) {
    return n->name;
}
const std::u16string& valueName(const RegNode::Value& v) {
    return v.name;
}

} // namespace

RegNode* RegNode::findSubkey(std::u16string_view key) const {
    auto& items = const_cast<std::vector<std::unique_ptr<RegNode>>&>(subkeys);
    auto it = lowerBound(items, key, nodeName);
    if (it != items.end() && compareRegNames((*it)->name, key) == 0)
        return it->get();
    return nullptr;
}

RegNode* RegNode::addSubkey(std::u16string_view key, std::uint64_t time) {
    auto it = lowerBound(subkeys, key, nodeName);
    if (it != subkeys.end() && compareRegNames((*it)->name, key) == 0)
        return it->get();
    auto node = std::make_unique<RegNode>();
    node->name = std::u16string(key);
    node->modif = time;
    node->parent = this;
    return subkeys.insert(it, std::move(node))->get();
}

bool RegNode::removeSubkey(const RegNode* child) {
    auto it = std::find_if(subkeys.begin(), subkeys.end(),
                           [&](const auto& n) { return n.get() == child; });
    if (it == subkeys.end())
        return false;
    subkeys.erase(it);
    return true;
}

const RegNode::Value* RegNode::findValue(std::u16string_view key) const {
    auto& items = const_cast<std::vector<Value>&>(values);
    auto it = lowerBound(items, key, valueName);
    if (it != items.end() && compareRegNames(it->name, key) == 0)
        return &*it;
    return nullptr;
}

void RegNode::setValue(Value value) {
    auto it = lowerBound(values, value.name, valueName);
    if (it != values.end() && compareRegNames(it->name, value.name) == 0) {
        // Windows keeps the name as first written.
        it->type = value.type;
        it->data = std::move(value.data);
        return;
    }
    values.insert(it, std::move(value));
}

bool RegNode::removeValue(std::u16string_view key) {
    auto it = lowerBound(values, key, valueName);
    if (it == values.end() || compareRegNames(it->name, key) != 0)
        return false;
    values.erase(it);
    return true;
}

std::uint64_t currentFileTime() {
    using namespace std::chrono;
    const auto since1970 =
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    return static_cast<std::uint64_t>(since1970) + 116444736000000000ull;
}

} // namespace trelmig
