#pragma once

// The C library's heap: how it treats large blocks, and giving back its free room.
class ZnHeapSetup
{
public:
    // Large blocks (a list answer of 10,000 rows and its buffers) are mapped on
    // their own and go back to the system when freed. The C library otherwise
    // raises that limit past the largest block freed so far, and the room of
    // every later answer stays in the heap among the records and cells.
    static void apply();
    // Gives the free room inside the heap back to the system (after a large
    // answer has been handled and freed).
    static void giveBackFreeRoom();
    // The size from which a block is mapped on its own.
    static const int kOwnMappingBytes = 128 * 1024;
};
