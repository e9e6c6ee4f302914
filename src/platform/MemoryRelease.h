#pragma once

// The process's heap, tuned for a program that idles in the tray between short bursts of
// large pictures: every large buffer gets a mapping of its own, unmapped again when it is
// freed, and what the heap keeps free after a burst is handed back to the system.
namespace memoryrelease {
// At start-up, before any large buffer: buffers from this size up are mapped on their own
// (the size stays fixed, glibc does not raise it after the first large free).
void mapLargeBuffers();
// Drop the fonts Qt keeps loaded, then hand the free memory at the top and inside every
// heap back to the system.
void giveBackFreeMemory();
} // namespace memoryrelease
