#include "footprint.h"

#include "jvm.h"

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace plexa::test {
namespace {

std::size_t entriesOf(const char* folder) {
    std::size_t count = 0;
    DIR* dir = ::opendir(folder);
    if (dir == nullptr) return 0;
    while (dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') ++count;
    }
    ::closedir(dir);
    return count;
}

std::string threadName(const std::string& commFile) {
    std::ifstream file(commFile);
    std::string name;
    std::getline(file, name);
    return name;
}

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t total = 0, resident = 0;
    statm >> total >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace

std::size_t programThreadCount() {
    const std::string programName = threadName("/proc/self/comm");
    std::size_t count = 0;
    DIR* tasks = ::opendir("/proc/self/task");
    if (tasks == nullptr) return 0;
    while (dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        if (threadName(std::string("/proc/self/task/") + entry->d_name + "/comm") == programName) ++count;
    }
    ::closedir(tasks);
    return count;
}

Footprint measureFootprint() {
    Footprint footprint;
    footprint.javaHeapBytes =
        callStatic<jlong>("edu/qet/brightloom/plexa/testing/SessionChurn", "usedHeapAfterCollection", "()J");
    footprint.threads = programThreadCount();
    footprint.descriptors = entriesOf("/proc/self/fd");
    footprint.residentBytes = residentBytes();
    return footprint;
}

std::string describe(const Footprint& footprint) {
    std::ostringstream text;
    text << "threads " << footprint.threads << ", descriptors " << footprint.descriptors << ", resident "
         << footprint.residentBytes / 1024 << " KiB, Java heap " << footprint.javaHeapBytes / 1024 << " KiB";
    return text.str();
}

}  // namespace plexa::test
