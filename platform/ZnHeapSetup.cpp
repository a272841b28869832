#include "ZnHeapSetup.h"

#include <cstdlib> // defines __GLIBC__ on the C library that has it

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ZnHeapSetup::apply()
{
#if defined(__GLIBC__)
    // A fixed limit also stops the C library from moving it.
    mallopt(M_MMAP_THRESHOLD, kOwnMappingBytes);
#endif
}

void ZnHeapSetup::giveBackFreeRoom()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
