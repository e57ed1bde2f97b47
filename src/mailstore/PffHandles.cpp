#include "mailstore/PffHandles.h"

#include <array>

namespace trelmig {

namespace {

// Reads a string whose size was asked first; the size counts the closing NUL.
template <typename SizeFn, typename ReadFn>
std::optional<std::string> ReadSizedString(SizeFn sizeOf, ReadFn read, std::string* reason) {
    PffError sizeError;
    std::size_t size = 0;
    const int found = sizeOf(&size, sizeError.out());
    if (found != 1) {
        if (found < 0 && reason)
            *reason = sizeError.text();
        return std::nullopt;
    }
    if (size == 0)
        return std::string();
    if (size > kMaxTextBytes) {
        if (reason)
            *reason = "a text of " + std::to_string(size) + " bytes";
        return std::nullopt;
    }
    std::string text(size, '\0');
    PffError readError;
    if (read(reinterpret_cast<std::uint8_t*>(text.data()), size, readError.out()) != 1) {
        if (reason)
            *reason = readError.text();
        return std::nullopt;
    }
    text.resize(text.find('\0') == std::string::npos ? size : text.find('\0'));
    return text;
}

// One property of one record set, whatever its value type.
std::optional<PffRecordEntry> PffEntry(libpff_item_t* item, int recordSet,
                                       std::uint32_t entryType) {
    PffError error;
    libpff_record_set_t* rawSet = nullptr;
    if (libpff_item_get_record_set_by_index(item, recordSet, &rawSet, error.out()) != 1 || !rawSet)
        return std::nullopt;
    const PffRecordSet set(rawSet);
    libpff_record_entry_t* rawEntry = nullptr;
    if (libpff_record_set_get_entry_by_type(set.get(), entryType, 0, &rawEntry,
                                            LIBPFF_ENTRY_VALUE_FLAG_MATCH_ANY_VALUE_TYPE,
                                            error.out()) != 1 ||
        !rawEntry)
        return std::nullopt;
    return PffRecordEntry(rawEntry);
}

} // namespace

std::string PffError::text() const {
    if (!error_)
        return "unknown error";
    std::array<char, 2048> buffer{};
    if (libpff_error_backtrace_sprint(error_, buffer.data(), buffer.size()) <= 0)
        return "unknown error";
    // The backtrace names the outermost call first; the innermost reason is
    // the line the user can act on.
    std::string text(buffer.data());
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    const auto lastLine = text.rfind('\n');
    return lastLine == std::string::npos ? text : text.substr(lastLine + 1);
}

std::optional<std::string> PffItemString(libpff_item_t* item, int recordSet,
                                         std::uint32_t entryType, std::string* reason) {
    const auto entry = PffEntry(item, recordSet, entryType);
    if (!entry)
        return std::nullopt;
    return ReadSizedString(
        [&](std::size_t* size, libpff_error_t** error) {
            return libpff_record_entry_get_data_as_utf8_string_size(entry->get(), size, error);
        },
        [&](std::uint8_t* data, std::size_t size, libpff_error_t** error) {
            return libpff_record_entry_get_data_as_utf8_string(entry->get(), data, size, error);
        },
        reason);
}

std::optional<std::string> PffMessageString(libpff_item_t* message, std::uint32_t entryType,
                                            std::string* reason) {
    return ReadSizedString(
        [&](std::size_t* size, libpff_error_t** error) {
            return libpff_message_get_entry_value_utf8_string_size(message, entryType, size, error);
        },
        [&](std::uint8_t* data, std::size_t size, libpff_error_t** error) {
            return libpff_message_get_entry_value_utf8_string(message, entryType, data, size,
                                                              error);
        },
        reason);
}

std::optional<std::uint32_t> PffItemNumber(libpff_item_t* item, int recordSet,
                                           std::uint32_t entryType) {
    const auto entry = PffEntry(item, recordSet, entryType);
    if (!entry)
        return std::nullopt;
    std::uint32_t value = 0;
    PffError error;
    if (libpff_record_entry_get_data_as_32bit_integer(entry->get(), &value, error.out()) != 1)
        return std::nullopt;
    return value;
}

} // namespace trelmig
