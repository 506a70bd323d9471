#pragma once

// Symbols of libplotrune.so are hidden unless marked with PLOTRUNE_API; the
// library is built with PLOTRUNE_BUILDING defined.
#if defined(PLOTRUNE_BUILDING)
#define PLOTRUNE_API __attribute__((visibility("default")))
#else
#define PLOTRUNE_API
#endif
