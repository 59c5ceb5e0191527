#include "WelcomeBanner.h"

#include <cstdio>
#include <mutex>

namespace plexa {

void printWelcomeBanner() {
    static std::once_flag printed;
    std::call_once(printed, [] {
        static const char* const lines[] = {
            "-----------------------------------------------------------\n",
            "           Thank you for using the Plexa library!\n\n",
            "If you use this Java library in your research, please cite \n",
            "the following article, which introduced this library:\n",
            "  Plexa Project. Plexa: streaming depth-camera frames into Java.\n",
            "  Plexa Technical Report 1, 2026.\n",
            "  Available with the Plexa library distribution.\n",
            "-----------------------------------------------------------\n",
        };
        for (const char* line : lines) std::printf("%s", line);
        // Java writes to the same descriptor through its own buffer; flushing
        // keeps the banner ahead of whatever the program prints next.
        std::fflush(stdout);
    });
}

}  // namespace plexa
