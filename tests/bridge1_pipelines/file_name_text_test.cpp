#include "FileNameText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plexa::bridge1::fileNameToUtf8;

struct Case {
    const char* what;
    std::vector<std::uint16_t> units;
    bool accepted;
    std::string utf8;
};

TEST(FileNameText, Utf16BecomesUtf8AndWhatNamesNoFileIsRefused) {
    const Case cases[] = {
        {"empty", {}, true, ""},
        {"ASCII", {'a', '/', 'b'}, true, "a/b"},
        {"two bytes", {0x00E9}, true, "\xC3\xA9"},
        {"three bytes", {0x20AC}, true, "\xE2\x82\xAC"},
        {"last BMP unit", {0xFFFF}, true, "\xEF\xBF\xBF"},
        {"surrogate pair", {'d', 0xD83D, 0xDE00}, true, "d\xF0\x9F\x98\x80"},
        {"highest code point", {0xDBFF, 0xDFFF}, true, "\xF4\x8F\xBF\xBF"},
        {"NUL inside", {'a', 0, 'b'}, false, ""},
        {"NUL alone", {0}, false, ""},
        {"lone high surrogate at the end", {'a', 0xD83D}, false, ""},
        {"high surrogate before a letter", {0xD83D, 'a'}, false, ""},
        {"lone low surrogate", {0xDE00, 'a'}, false, ""},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(fileNameToUtf8(c.units.data(), c.units.size(), out), c.accepted) << c.what;
        if (c.accepted) {
            EXPECT_EQ(out, c.utf8) << c.what;
        }
    }
}

}  // namespace
