// key_ring.h - the ring of typed UTF-16 units waiting for line input. One writer (the text
// window procedure) and one reader (line input); callers that put and take on different
// threads guard each call with one lock.
#ifndef KAV_KEY_RING_H
#define KAV_KEY_RING_H

#include <wchar.h>

#define KAV_KEY_RING_UNITS 256  // units the ring holds when full

struct KeyRing {
    wchar_t units[KAV_KEY_RING_UNITS];
    int read;   // slot of the oldest unit, -1 while the ring is empty
    int write;  // slot the next unit goes into
};

void key_ring_clear(KeyRing *ring);
int  key_ring_put(KeyRing *ring, wchar_t unit);   // 0 stored; 1 full, the unit is dropped
int  key_ring_take(KeyRing *ring, wchar_t *unit); // 0 taken; 1 empty, *unit = 0

#endif
