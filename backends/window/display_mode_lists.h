// The resolution, frequency and monitor lists of RendererState, built from a plain
// list of display modes. Nothing here calls the platform: display_modes.cpp
// enumerates the modes of a device and hands them over, so the list rules run (and
// are tested) natively too.
#pragma once

#include "backend/renderer_types.h"

#include <stdint.h>

struct DisplayMode {
    uint32_t width;
    uint32_t height;
    uint32_t bitsPerPixel;
    uint32_t frequency; // Hz
};

// A rectangle in screen coordinates (right and bottom exclusive).
struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Frees the resolution and frequency lists with their names and zeroes the counts.
void releaseDisplayLists(RendererState* state);
// Start-up: a backend that failed to start before this one may have left its lists in
// the state; they are its own, so they are dropped, not freed.
void dropDisplayListsOfAnEarlierStart(RendererState* state);

// Rebuilds the resolution list: every distinct (width, height) in the order of its
// first mode, each named "%d x %d". The frequency list is released as well, since it
// belongs to the old current resolution. False when memory runs out (lists empty).
bool buildResolutionList(RendererState* state, const DisplayMode* modes, uint32_t modeCount);

// Rebuilds the frequency list: the distinct refresh rates of the modes of the current
// resolution, in enumeration order, each named "%d". Empty when there is no current
// resolution.
bool buildFrequencyList(RendererState* state, const DisplayMode* modes, uint32_t modeCount);

// Index of a list entry, or -1.
int32_t findResolution(const RendererState* state, uint32_t width, uint32_t height);
int32_t findFrequency(const RendererState* state, uint32_t frequency);

// First mode equal in all four values, or -1.
int32_t findMode(const DisplayMode* modes, uint32_t modeCount, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                 uint32_t frequency);

// The mode to switch to for a resolution: the first of that size and colour depth,
// unless its rate differs from the wanted one; then the first mode with the rate
// closest to it (the first of equally close rates wins). -1 when the size and depth
// have no mode at all.
int32_t chooseModeForResolution(const DisplayMode* modes, uint32_t modeCount, uint32_t width, uint32_t height,
                                uint32_t bitsPerPixel, uint32_t wantedFrequency);

// The monitor names "1", "2", ...; the current monitor falls back to 0 when it is not
// below the count.
bool buildMonitorLabels(RendererState* state, uint32_t monitorCount);

// The screen whose rectangle shares the largest area with the window (the first of
// equal areas), or -1 when there are no screens.
int32_t screenWithLargestOverlap(const ScreenRect* screens, uint32_t screenCount, ScreenRect window);
