// The number of runtime objects alive, for tests that prove every object
// handed out was given back.
#pragma once

namespace plexa::virtual2 {

void noteObjectCreated();
void noteObjectDestroyed();
int liveObjects();

}  // namespace plexa::virtual2
