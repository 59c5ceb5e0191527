#include "Banner.h"

#include "WelcomeBanner.h"

#include <mutex>

namespace plexa::bridge2 {

void printWelcomeBannerOnce() {
    static std::once_flag printed;
    std::call_once(printed, []() { printWelcomeBanner(); });
}

}  // namespace plexa::bridge2
