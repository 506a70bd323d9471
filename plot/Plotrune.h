#pragma once

// Plotrune draws runs of equal shape codes as lines on a caller's bitmap.
// The object carries no state; it is a handle for the two operations.

#if defined(PLOTRUNE_BUILDING)
#define PLOTRUNE_API __attribute__((visibility("default")))
#else
#define PLOTRUNE_API
#endif

class PLOTRUNE_API Plotrune
{
public:
    Plotrune();
    ~Plotrune();
};
