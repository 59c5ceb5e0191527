// The welcome banner both bridges print once per process, when their sensor
// table is made; later calls print nothing.
#pragma once

namespace plexa {

void printWelcomeBanner();

}  // namespace plexa
