#include "mailstore/SafeFileName.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace trelmig {

namespace {

bool Replaced(unsigned char c) {
    static constexpr std::string_view kReserved = "/\\<>:\"|?*";
    return c < 0x20 || c == 0x7F || kReserved.find(char(c)) != std::string_view::npos;
}

bool IsDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    std::ranges::transform(stem, stem.begin(),
                           [](unsigned char c) { return char(std::toupper(c)); });
    static constexpr std::array<std::string_view, 4> kDevices{"CON", "PRN", "AUX", "NUL"};
    if (std::ranges::find(kDevices, stem) != kDevices.end())
        return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// The longest start of text of at most maxBytes that ends where a character ends.
std::string_view CutAtCharacter(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

void TrimEnd(std::string& name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
}

} // namespace

std::string SafeFileName(std::string_view text, std::size_t maxBytes) {
    std::string name;
    for (const char c : text)
        name += Replaced(static_cast<unsigned char>(c)) ? '_' : c;
    const std::size_t start = name.find_first_not_of(". ");
    name.erase(0, start == std::string::npos ? name.size() : start);
    TrimEnd(name);
    if (IsDeviceName(name))
        name = "_" + name;
    name = std::string(CutAtCharacter(name, maxBytes));
    TrimEnd(name);
    return name.empty() ? "(no subject)" : name;
}

} // namespace trelmig
