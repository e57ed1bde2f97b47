// Writes and reads past the page cache: every range, aligned or not, must
// land and come back byte for byte, mixed with the plain writes that carry the
// ragged ends, and later writes must win over earlier ones.
#include "platform/DirectIo.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>

using namespace trelmig;

namespace {

struct Files {
    explicit Files(const std::string& path) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        directFd = openDirect(path, O_RDWR);
    }
    ~Files() {
        ::close(fd);
        if (directFd >= 0)
            ::close(directFd);
    }
    int fd;
    int directFd;
};

} // namespace

TEST(DirectIo, EveryRangeComesBackAsLastWritten) {
    WorkFolder work;
    Files file((work.path() / "archive.kvx").string());
    ASSERT_GE(file.fd, 0);
    std::mt19937 gen(4096);
    std::string model;
    AlignedBuffer buffer;
    const std::size_t lengths[] = {1, 100, 4095, 4096, 4097, 8195, 1 << 20, (1 << 20) + 5};
    const std::uint64_t starts[] = {0, 1, 4095, 4096, 12345, 1 << 20};
    for (int round = 0; round < 60; ++round) {
        const std::size_t length = lengths[gen() % std::size(lengths)];
        std::uint64_t offset = round < 8 ? model.size() : starts[gen() % std::size(starts)];
        offset = std::min<std::uint64_t>(offset, model.size()); // no holes in the model
        std::string data(length, '\0');
        for (char& c : data)
            c = static_cast<char>(gen());
        ASSERT_EQ(writeMostlyDirect(file.directFd, file.fd, buffer,
                                    reinterpret_cast<const unsigned char*>(data.data()), length,
                                    offset),
                  0);
        if (offset + length > model.size())
            model.resize(offset + length);
        model.replace(offset, length, data);
    }
    AlignedBuffer readBuffer;
    for (int directly = 0; directly < 2; ++directly) {
        const int directFd = directly ? file.directFd : -1;
        for (int i = 0; i < 200; ++i) {
            const std::uint64_t offset = gen() % model.size();
            const std::size_t length =
                i == 0 ? model.size() - offset : 1 + gen() % (model.size() - offset);
            const unsigned char* bytes = readAt(directFd, file.fd, readBuffer, length, offset);
            ASSERT_NE(bytes, nullptr) << length << " bytes at " << offset;
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(bytes), length),
                      model.substr(offset, length))
                << length << " bytes at " << offset << (directly ? ", direct" : "");
        }
        // Past the end nothing is made up.
        EXPECT_EQ(readAt(directFd, file.fd, readBuffer, 10, model.size() - 5), nullptr);
        EXPECT_EQ(readAt(directFd, file.fd, readBuffer, 1, model.size()), nullptr);
    }
}
