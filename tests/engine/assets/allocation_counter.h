// Counts the bytes a test program has allocated, to hold a reader to a memory bound
// without timing anything: the peak of the live heap since a start mark. Natively the
// program's malloc family is wrapped (this file must then be linked into its own test
// program, as every allocation of the process goes through it); under AddressSanitizer
// the sanitizer's allocation hooks count instead.
#pragma once

#include <stdint.h>

void startAllocationCount();

// The most bytes live at once since startAllocationCount, above what was live then.
uint64_t allocationPeakSinceStart();
