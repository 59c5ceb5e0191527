// Making a file for writing where FIFOs and devices exist.
#include "plexa/files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// Making a file for writing: a regular file (new, or emptied), and nothing
// else, refused at once without changing it, whether a FIFO has a reader or not.
TEST(CreateRegularFile, TakesRegularFilesAndRefusesEverythingElseWithoutWaiting) {
    const fs::path folder = fs::temp_directory_path() / fs::u8path(u8"plexa-create-\u00e4");
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    ASSERT_TRUE(fs::create_directory(folder));
    const std::string fresh = (folder / "fresh.rec").u8string();
    const std::string old = (folder / "old.rec").u8string();
    const std::string fifo = (folder / "fifo").u8string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    {
        plexa::FileOwner existing(plexa::openFile(old, "wb"));
        ASSERT_EQ(std::fputs("old contents", existing.get()), 1);
    }

    for (const std::string& path : {fresh, old}) {
        plexa::FileOwner file = plexa::createRegularFile(path);
        ASSERT_TRUE(file) << path;
        EXPECT_EQ(fs::file_size(fs::u8path(path)), 0u) << path;
        EXPECT_EQ(std::fwrite("ab", 1, 2, file.get()), 2u);
        EXPECT_TRUE(plexa::closeFile(std::move(file)));
        EXPECT_EQ(fs::file_size(fs::u8path(path)), 2u) << path;
    }

    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    for (const bool withReader : {false, true}) {
        if (!withReader) ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK));  // no reader left
        const std::string refused[] = {fifo, folder.u8string(), "/dev/null", (folder / "missing" / "x").u8string()};
        for (const std::string& path : refused) {
            errno = 0;
            EXPECT_FALSE(plexa::createRegularFile(path)) << path << " with reader " << withReader;
            EXPECT_NE(errno, 0) << path;
        }
    }
    EXPECT_TRUE(fs::is_fifo(fs::u8path(fifo)));
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "nothing was written into the FIFO";
    ::close(reader);

    EXPECT_TRUE(plexa::removeFile(fresh));
    EXPECT_FALSE(plexa::removeFile(fresh));
    EXPECT_FALSE(fs::exists(fs::u8path(fresh)));
    fs::remove_all(folder, ignored);
}

TEST(FileOwner, ClosingReportsWritesThatFailed) {
    EXPECT_FALSE(plexa::closeFile(nullptr));
    plexa::FileOwner readOnly(std::fopen("/dev/null", "rb"));
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(std::fputc('x', readOnly.get()), EOF);
    EXPECT_FALSE(plexa::closeFile(std::move(readOnly)));
}

}  // namespace
