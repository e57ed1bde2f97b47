#pragma once

#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace trelmig {

// A file made under a name nothing had, for what the user exports: created
// exclusively ("name.ext", else "name (2).ext", "name (3).ext", ...), never
// over an existing file or through a symbolic link, and removed again unless
// it was committed, so that a failed write leaves no part of a file behind.
// Failures throw std::runtime_error naming the file and the reason.
class NewFile {
public:
    NewFile(const std::filesystem::path& folder, const std::string& stem,
            const std::string& extension);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes to the file; a failure shows in commit().
    std::ostream& stream() { return stream_; }
    // Flushes, writes the file to disk and closes it: from now on it stays.
    void commit();

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(int fd);
        bool failed() const { return failed_; }

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        int fd_;
        bool failed_ = false;
        std::vector<char> space_;
    };

    std::filesystem::path path_;
    int fd_ = -1;
    Buffer buffer_;
    std::ostream stream_;
    bool committed_ = false;
};

} // namespace trelmig
