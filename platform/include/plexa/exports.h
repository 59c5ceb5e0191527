// How a module's own functions are made visible to the modules that call them,
// decided once for every platform: a header marks a function as exported while
// its own module is being built and as imported everywhere else.
#pragma once

#if defined(_WIN32)
#define PLEXA_EXPORTED __declspec(dllexport)
#define PLEXA_IMPORTED __declspec(dllimport)
#else
#define PLEXA_EXPORTED __attribute__((visibility("default")))
#define PLEXA_IMPORTED
#endif
