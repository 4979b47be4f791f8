// key_ring.cpp - see key_ring.h.
#include "textwin/key_ring.h"

void key_ring_clear(KeyRing *ring)
{
    ring->read = -1;
    ring->write = 0;
}

int key_ring_put(KeyRing *ring, wchar_t unit)
{
    if (ring->write == ring->read) return 1;
    ring->units[ring->write] = unit;
    if (ring->read < 0) ring->read = ring->write;
    ring->write = (ring->write + 1) % KAV_KEY_RING_UNITS;
    return 0;
}

int key_ring_take(KeyRing *ring, wchar_t *unit)
{
    *unit = 0;
    if (ring->read < 0) return 1;
    *unit = ring->units[ring->read];
    ring->read = (ring->read + 1) % KAV_KEY_RING_UNITS;
    if (ring->read == ring->write) ring->read = -1;
    return 0;
}
