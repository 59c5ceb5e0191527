// The welcome banner, printed once per process when the sensor table is made.
#pragma once

namespace plexa::bridge1 {

void printWelcomeBanner();

}  // namespace plexa::bridge1
