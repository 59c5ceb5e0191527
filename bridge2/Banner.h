#pragma once

namespace plexa::bridge2 {

// The welcome banner, printed once per process by the first _createNUI.
void printWelcomeBannerOnce();

}  // namespace plexa::bridge2
