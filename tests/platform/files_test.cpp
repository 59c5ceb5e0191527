#include "plexa/files.h"
#include "plexa/file_owner.h"

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

// A file name with characters outside every single-byte code page.
const std::string kName = u8"plexa-Tiefe-\u00e4\u00f6\u00fc-\u6df1\u5ea6-\u0434\u0430\u043d\u043d\u044b\u0435.rec";

std::string scratchPath() { return (fs::temp_directory_path() / fs::u8path(kName)).u8string(); }

TEST(OpenFile, WritesAndReadsBackANonAsciiName) {
    const std::string path = scratchPath();
    std::error_code ignored;
    fs::remove(fs::u8path(path), ignored);

    std::FILE* out = plexa::openFile(path, "wb");
    ASSERT_NE(out, nullptr);
    const char written[] = "depth";
    EXPECT_EQ(std::fwrite(written, 1, sizeof written, out), sizeof written);
    EXPECT_EQ(std::fclose(out), 0);

    // The name on disk is the one asked for, not a transcoding of its bytes.
    EXPECT_TRUE(fs::exists(fs::u8path(path)));
    bool listed = false;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
        if (entry.path().filename().u8string() == kName) listed = true;
    }
    EXPECT_TRUE(listed);

    std::FILE* in = plexa::openFile(path, "rb");
    ASSERT_NE(in, nullptr);
    char read[sizeof written] = {};
    EXPECT_EQ(std::fread(read, 1, sizeof read, in), sizeof read);
    EXPECT_EQ(std::fclose(in), 0);
    EXPECT_EQ(std::string(read), std::string(written));

    EXPECT_TRUE(fs::remove(fs::u8path(path)));
}

TEST(OpenFile, FailsForAMissingFile) {
    const std::string path = (fs::temp_directory_path() / fs::u8path(u8"plexa-nicht-da-\u00df/none.rec")).u8string();
    EXPECT_EQ(plexa::openFile(path, "rb"), nullptr);
}

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
