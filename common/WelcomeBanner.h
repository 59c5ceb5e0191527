// The welcome banner both bridges print once per process, when their sensor
// table is made; later calls print nothing. Defined out of line: the
// standard library's once machinery behind it must not be exported from the bridges.
#pragma once

namespace plexa {

void printWelcomeBanner();

}  // namespace plexa
