// The welcome banner both bridges print once per process, when their sensor
// table is made.
#pragma once

namespace plexa {

void printWelcomeBanner();

}  // namespace plexa
