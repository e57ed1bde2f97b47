#pragma once

#include <libpff.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace trelmig {

// Owners of libpff's objects, so that every path out of a reader frees them.
struct PffItemFree {
    void operator()(libpff_item_t* item) const noexcept { libpff_item_free(&item, nullptr); }
};
struct PffFileFree {
    void operator()(libpff_file_t* file) const noexcept {
        libpff_file_close(file, nullptr);
        libpff_file_free(&file, nullptr);
    }
};
struct BfioHandleFree {
    void operator()(libbfio_handle_t* handle) const noexcept {
        libbfio_handle_free(&handle, nullptr);
    }
};
struct PffRecordSetFree {
    void operator()(libpff_record_set_t* set) const noexcept {
        libpff_record_set_free(&set, nullptr);
    }
};
struct PffRecordEntryFree {
    void operator()(libpff_record_entry_t* entry) const noexcept {
        libpff_record_entry_free(&entry, nullptr);
    }
};
using PffItem = std::unique_ptr<libpff_item_t, PffItemFree>;
using PffRecordSet = std::unique_ptr<libpff_record_set_t, PffRecordSetFree>;
using PffRecordEntry = std::unique_ptr<libpff_record_entry_t, PffRecordEntryFree>;
using PffFile = std::unique_ptr<libpff_file_t, PffFileFree>;
using BfioHandle = std::unique_ptr<libbfio_handle_t, BfioHandleFree>;

// The error a libpff call fills in; its text is taken once and the error freed.
class PffError {
public:
    PffError() = default;
    ~PffError() { libpff_error_free(&error_); }
    PffError(const PffError&) = delete;
    PffError& operator=(const PffError&) = delete;

    libpff_error_t** out() { return &error_; }
    // libpff's own words for the last failure, the innermost reason last.
    std::string text() const;

private:
    libpff_error_t* error_ = nullptr;
};

// Largest text property read into memory: a body or a header block beyond
// this is no message Outlook wrote.
inline constexpr std::size_t kMaxTextBytes = std::size_t{64} << 20;

// A string property of one record set of an item (a recipient is one set of
// the recipients item), UTF-8. nullopt when the item does not have it or it
// cannot be read; the reason goes to reason when one is given.
std::optional<std::string> PffItemString(libpff_item_t* item, int recordSet,
                                         std::uint32_t entryType, std::string* reason = nullptr);
// The same for the properties of a message, read with its code page.
std::optional<std::string> PffMessageString(libpff_item_t* message, std::uint32_t entryType,
                                            std::string* reason = nullptr);
std::optional<std::uint32_t> PffItemNumber(libpff_item_t* item, int recordSet,
                                           std::uint32_t entryType);

} // namespace trelmig
