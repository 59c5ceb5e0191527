#include "plexa/files.h"

#include <gtest/gtest.h>

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

}  // namespace
