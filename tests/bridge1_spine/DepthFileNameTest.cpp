// Recording file names as Java names them: what names no writable file is
// refused with nothing created, and a name outside the Basic Multilingual
// Plane writes exactly the file Java names.
#include "SpineSupport.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>

namespace plexa::test::spine {
namespace {

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) names.insert(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

class DepthFileName : public ::testing::Test {
protected:
    void SetUp() override {
        startScripted();
        char pattern[] = "/tmp/plexa-names-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_TRUE(createNUI(0));
    }

    // Saves under a name given as UTF-16 units.
    bool save(const std::u16string& name) {
        JNIEnv* env = Jvm::start().env();
        jstring text = env->NewString(reinterpret_cast<const jchar*>(name.data()), static_cast<jsize>(name.size()));
        const jboolean saved = plexa1<jboolean>("_saveDepthFrames", "(Ljava/lang/String;I)Z", text, jint{0});
        env->DeleteLocalRef(text);
        plexa1<jboolean>("_closeDepthFile", "(I)Z", jint{0});
        return saved != JNI_FALSE;
    }

    static std::u16string wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

    std::string folder_;
};

TEST_F(DepthFileName, NamesOfNoWritableFileAreRefusedAndCreateNothing) {
    const std::string subfolder = folder_ + "/sub";
    ASSERT_EQ(::mkdir(subfolder.c_str(), 0700), 0);
    const std::u16string refused[] = {
        u"", u"/", wide(subfolder), wide(folder_ + "/missing/rec.depth"), wide("/dev/full"),
        wide(folder_ + "/a") + u'\0' + u"b.depth", wide(folder_ + "/lone") + char16_t(0xD83D) + u".depth",
    };
    const std::set<std::string> before = entriesOf(folder_);
    for (const std::u16string& name : refused) {
        EXPECT_FALSE(save(name)) << "name " << &name - refused;
        EXPECT_EQ(entriesOf(folder_), before) << "name " << &name - refused;
    }
    EXPECT_EQ(entriesOf(subfolder).size(), 2u) << "only . and ..";
}

TEST_F(DepthFileName, ANameOutsideTheBasicPlaneWritesTheFileJavaNames) {
    const std::string emojiFolder = folder_ + "/\xF0\x9F\x98\x80";  // U+1F600 in UTF-8
    ASSERT_EQ(::mkdir(emojiFolder.c_str(), 0700), 0);
    EXPECT_TRUE(save(wide(folder_ + "/") + u"\U0001F600" + u"/rec.depth"));
    struct stat written {};
    ASSERT_EQ(::stat((emojiFolder + "/rec.depth").c_str(), &written), 0);
    EXPECT_GT(written.st_size, 0) << "the header";
    EXPECT_EQ(entriesOf(emojiFolder).size(), 3u);
}

}  // namespace
}  // namespace plexa::test::spine
