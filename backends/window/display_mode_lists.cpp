#include "backends/window/display_mode_lists.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// A name in a buffer of exactly its length plus the terminator.
char* copyName(const char* text) {
    size_t length = strlen(text);
    char* name = static_cast<char*>(malloc(length + 1));
    if (name) memcpy(name, text, length + 1);
    return name;
}

void releaseNames(char** names, uint32_t count) {
    if (!names) return;
    for (uint32_t i = 0; i < count; ++i) free(names[i]);
    free(names);
}

void releaseFrequencies(RendererState* state) {
    releaseNames(state->frequencyLabels, state->frequencyCount);
    free(state->frequencies);
    state->frequencyLabels = nullptr;
    state->frequencies = nullptr;
    state->frequencyCount = 0;
}

void releaseResolutions(RendererState* state) {
    releaseNames(state->resolutionLabels, state->resolutionCount);
    free(state->resolutions);
    state->resolutionLabels = nullptr;
    state->resolutions = nullptr;
    state->resolutionCount = 0;
}

} // namespace

void releaseDisplayLists(RendererState* state) {
    releaseResolutions(state);
    releaseFrequencies(state);
}

bool buildResolutionList(RendererState* state, const DisplayMode* modes, uint32_t modeCount) {
    releaseDisplayLists(state);
    if (modeCount == 0) return true;
    DisplayResolution* resolutions = static_cast<DisplayResolution*>(calloc(modeCount, sizeof(DisplayResolution)));
    char** names = static_cast<char**>(calloc(modeCount, sizeof(char*)));
    if (!resolutions || !names) {
        free(resolutions);
        free(names);
        return false;
    }
    uint32_t count = 0;
    for (uint32_t i = 0; i < modeCount; ++i) {
        bool listed = false;
        for (uint32_t j = 0; j < count && !listed; ++j)
            listed = resolutions[j].width == modes[i].width && resolutions[j].height == modes[i].height;
        if (!listed) resolutions[count++] = DisplayResolution{modes[i].width, modes[i].height};
    }
    bool complete = true;
    for (uint32_t i = 0; i < count; ++i) {
        char text[32];
        snprintf(text, sizeof(text), "%d x %d", static_cast<int>(resolutions[i].width),
                 static_cast<int>(resolutions[i].height));
        names[i] = copyName(text);
        complete = complete && names[i];
    }
    state->resolutions = resolutions;
    state->resolutionLabels = names;
    state->resolutionCount = count;
    return complete;
}

bool buildFrequencyList(RendererState* state, const DisplayMode* modes, uint32_t modeCount) {
    // The arrays are sized here for the modes at hand rather than kept from the
    // resolution rebuild, so a device that reports more modes now than then cannot
    // overrun them; the old names go with the old list.
    releaseFrequencies(state);
    if (state->currentResolution >= state->resolutionCount || modeCount == 0) return true;
    const DisplayResolution current = state->resolutions[state->currentResolution];
    uint32_t* frequencies = static_cast<uint32_t*>(calloc(modeCount, sizeof(uint32_t)));
    char** names = static_cast<char**>(calloc(modeCount, sizeof(char*)));
    if (!frequencies || !names) {
        free(frequencies);
        free(names);
        return false;
    }
    uint32_t count = 0;
    for (uint32_t i = 0; i < modeCount; ++i) {
        if (modes[i].width != current.width || modes[i].height != current.height) continue;
        bool listed = false;
        for (uint32_t j = 0; j < count && !listed; ++j) listed = frequencies[j] == modes[i].frequency;
        if (!listed) frequencies[count++] = modes[i].frequency;
    }
    bool complete = true;
    for (uint32_t i = 0; i < count; ++i) {
        char text[16];
        snprintf(text, sizeof(text), "%d", static_cast<int>(frequencies[i]));
        names[i] = copyName(text);
        complete = complete && names[i];
    }
    state->frequencies = frequencies;
    state->frequencyLabels = names;
    state->frequencyCount = count;
    return complete;
}

int32_t findResolution(const RendererState* state, uint32_t width, uint32_t height) {
    for (uint32_t i = 0; i < state->resolutionCount; ++i)
        if (state->resolutions[i].width == width && state->resolutions[i].height == height)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t findFrequency(const RendererState* state, uint32_t frequency) {
    for (uint32_t i = 0; i < state->frequencyCount; ++i)
        if (state->frequencies[i] == frequency) return static_cast<int32_t>(i);
    return -1;
}

int32_t findMode(const DisplayMode* modes, uint32_t modeCount, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                 uint32_t frequency) {
    for (uint32_t i = 0; i < modeCount; ++i)
        if (modes[i].width == width && modes[i].height == height && modes[i].bitsPerPixel == bitsPerPixel &&
            modes[i].frequency == frequency)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t chooseModeForResolution(const DisplayMode* modes, uint32_t modeCount, uint32_t width, uint32_t height,
                                uint32_t bitsPerPixel, uint32_t wantedFrequency) {
    int32_t first = -1;
    int64_t bestDifference = 1000000;
    uint32_t bestFrequency = 0;
    for (uint32_t i = 0; i < modeCount; ++i) {
        const DisplayMode& mode = modes[i];
        if (mode.width != width || mode.height != height || mode.bitsPerPixel != bitsPerPixel) continue;
        if (first < 0) first = static_cast<int32_t>(i);
        int64_t difference = static_cast<int64_t>(mode.frequency) - static_cast<int64_t>(wantedFrequency);
        if (difference < 0) difference = -difference;
        if (difference < bestDifference) {
            bestDifference = difference;
            bestFrequency = mode.frequency;
        }
    }
    if (first < 0 || modes[first].frequency == wantedFrequency) return first;
    int32_t closest = findMode(modes, modeCount, width, height, bitsPerPixel, bestFrequency);
    return closest >= 0 ? closest : first;
}

bool buildMonitorLabels(RendererState* state, uint32_t monitorCount) {
    free(state->monitorLabels);
    state->monitorLabels = nullptr;
    state->monitorCount = 0;
    if (monitorCount > 0) {
        state->monitorLabels = static_cast<MonitorLabel*>(calloc(monitorCount, sizeof(MonitorLabel)));
        if (!state->monitorLabels) {
            state->currentMonitor = 0;
            return false;
        }
        for (uint32_t i = 0; i < monitorCount; ++i)
            snprintf(state->monitorLabels[i], sizeof(MonitorLabel), "%u", i + 1);
        state->monitorCount = monitorCount;
    }
    if (state->currentMonitor >= state->monitorCount) state->currentMonitor = 0;
    return true;
}

int32_t screenWithLargestOverlap(const ScreenRect* screens, uint32_t screenCount, ScreenRect window) {
    int32_t best = -1;
    int64_t bestArea = -1;
    for (uint32_t i = 0; i < screenCount; ++i) {
        int64_t left = screens[i].left > window.left ? screens[i].left : window.left;
        int64_t right = screens[i].right < window.right ? screens[i].right : window.right;
        int64_t top = screens[i].top > window.top ? screens[i].top : window.top;
        int64_t bottom = screens[i].bottom < window.bottom ? screens[i].bottom : window.bottom;
        int64_t area = right > left && bottom > top ? (right - left) * (bottom - top) : 0;
        if (area > bestArea) {
            bestArea = area;
            best = static_cast<int32_t>(i);
        }
    }
    return best;
}

void dropDisplayListsOfAnEarlierStart(RendererState* state) {
    state->resolutionLabels = nullptr;
    state->resolutions = nullptr;
    state->resolutionCount = 0;
    state->frequencyLabels = nullptr;
    state->frequencies = nullptr;
    state->frequencyCount = 0;
    state->monitorLabels = nullptr;
    state->monitorCount = 0;
    state->currentMonitor = 0;
}
