#include "plexa/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

// A malformed name must not be turned into some other, valid one.
TEST(OpenFileOnWindows, RefusesANameThatIsNotUtf8) {
    errno = 0;
    EXPECT_EQ(plexa::openFile(std::string("plexa-\xff\xfe.rec"), "wb"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    errno = 0;
    EXPECT_EQ(plexa::openFile(std::string("plexa-\xc3(.rec"), "wb"), nullptr);
    EXPECT_EQ(errno, EINVAL);
}

}  // namespace
