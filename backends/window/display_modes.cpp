#include "backends/window/display_modes.h"

#include "backends/window/backend_exports.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {

struct MonitorFill {
    MONITORINFOEXW* monitors;
    uint32_t capacity;
    uint32_t count;
};

BOOL CALLBACK countMonitor(HMONITOR, HDC, LPRECT, LPARAM data) {
    ++*reinterpret_cast<uint32_t*>(data);
    return TRUE;
}

BOOL CALLBACK fillMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MonitorFill* fill = reinterpret_cast<MonitorFill*>(data);
    // A monitor attached between the two passes waits for the next enumeration.
    if (fill->count >= fill->capacity) return FALSE;
    MONITORINFOEXW& info = fill->monitors[fill->count];
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(MONITORINFOEXW);
    if (GetMonitorInfoW(monitor, &info)) ++fill->count;
    return TRUE;
}

DisplayMode modeOf(const DEVMODEW& settings) {
    return DisplayMode{settings.dmPelsWidth, settings.dmPelsHeight, settings.dmBitsPerPel, settings.dmDisplayFrequency};
}

ScreenRect screenRectOf(const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

} // namespace

bool primaryDisplayDevice(wchar_t* name) {
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof(device);
    name[0] = 0;
    if (!EnumDisplayDevicesW(nullptr, 0, &device, 0)) return false;
    wcsncpy(name, device.DeviceName, DISPLAY_DEVICE_NAME_CAPACITY - 1);
    name[DISPLAY_DEVICE_NAME_CAPACITY - 1] = 0;
    return true;
}

bool displayDeviceOfMonitor(const MONITORINFOEXW* monitor, wchar_t* name) {
    if (monitor) {
        DISPLAY_DEVICEW device = {};
        device.cb = sizeof(device);
        for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
            if (wcsncmp(device.DeviceName, monitor->szDevice, CCHDEVICENAME) == 0) {
                wcsncpy(name, device.DeviceName, DISPLAY_DEVICE_NAME_CAPACITY - 1);
                name[DISPLAY_DEVICE_NAME_CAPACITY - 1] = 0;
                return true;
            }
            device.cb = sizeof(device);
        }
    }
    return primaryDisplayDevice(name);
}

bool enumerateDisplayModes(const wchar_t* device, DisplayModeList* list) {
    list->modes = nullptr;
    list->count = 0;
    uint32_t capacity = 0;
    DEVMODEW settings = {};
    settings.dmSize = sizeof(settings);
    for (DWORD i = 0; EnumDisplaySettingsW(device, i, &settings); ++i) {
        if (list->count == capacity) {
            uint32_t grown = capacity ? capacity * 2 : 32;
            DisplayMode* modes = static_cast<DisplayMode*>(realloc(list->modes, grown * sizeof(DisplayMode)));
            if (!modes) break;
            list->modes = modes;
            capacity = grown;
        }
        list->modes[list->count++] = modeOf(settings);
        settings.dmSize = sizeof(settings);
    }
    return list->count > 0;
}

bool enumeratePrimaryDisplayModes(DisplayModeList* list) {
    wchar_t device[DISPLAY_DEVICE_NAME_CAPACITY];
    if (!primaryDisplayDevice(device)) {
        list->modes = nullptr;
        list->count = 0;
        return false;
    }
    return enumerateDisplayModes(device, list);
}

void releaseDisplayModeList(DisplayModeList* list) {
    free(list->modes);
    list->modes = nullptr;
    list->count = 0;
}

bool readCurrentDisplayMode(const wchar_t* device, DisplayMode* mode) {
    DEVMODEW settings = {};
    settings.dmSize = sizeof(settings);
    if (!EnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, &settings)) return false;
    *mode = modeOf(settings);
    return true;
}

bool changeDisplayMode(const DisplayMode& mode) {
    DEVMODEW settings = {};
    settings.dmSize = sizeof(settings);
    settings.dmPelsWidth = mode.width;
    settings.dmPelsHeight = mode.height;
    settings.dmBitsPerPel = mode.bitsPerPixel;
    settings.dmDisplayFrequency = mode.frequency;
    settings.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    return ChangeDisplaySettingsW(&settings, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

bool restoreDesktopDisplayMode() { return ChangeDisplaySettingsW(nullptr, 0) == DISP_CHANGE_SUCCESSFUL; }

bool enumerateMonitors(RendererState* state, BackendDisplay* display) {
    uint32_t count = 0;
    EnumDisplayMonitors(nullptr, nullptr, countMonitor, reinterpret_cast<LPARAM>(&count));
    free(display->monitors);
    display->monitors = nullptr;
    MonitorFill fill = {nullptr, count, 0};
    if (count > 0) {
        fill.monitors = static_cast<MONITORINFOEXW*>(calloc(count, sizeof(MONITORINFOEXW)));
        if (fill.monitors) EnumDisplayMonitors(nullptr, nullptr, fillMonitor, reinterpret_cast<LPARAM>(&fill));
    }
    display->monitors = fill.monitors;
    return buildMonitorLabels(state, fill.count) && fill.count > 0;
}

const MONITORINFOEXW* currentMonitor(RendererState* state, BackendDisplay* display) {
    if (!display->monitors || state->currentMonitor >= state->monitorCount) return nullptr;
    return &display->monitors[state->currentMonitor];
}

bool clipCursorToMonitor(const BackendDisplay* display, const MONITORINFOEXW* monitor) {
    if (!display->window.window) return false;
    RECT client = {};
    GetClientRect(display->window.window, &client);
    if (monitor) OffsetRect(&client, monitor->rcMonitor.left, monitor->rcMonitor.top);
    return ClipCursor(&client) != 0;
}

void selectCurrentModeOfMonitor(RendererState* state, BackendDisplay* display, DisplayMode* current) {
    wchar_t device[DISPLAY_DEVICE_NAME_CAPACITY];
    DisplayMode mode = {};
    if (!displayDeviceOfMonitor(currentMonitor(state, display), device) || !readCurrentDisplayMode(device, &mode))
        return;
    int32_t resolution = findResolution(state, mode.width, mode.height);
    if (resolution >= 0) state->currentResolution = static_cast<uint32_t>(resolution);
    if (current) *current = mode;
}

void buildStartupDisplayLists(RendererState* state, BackendDisplay* display) {
    enumerateMonitors(state, display);
    if (state->screenMode != FULLSCREEN_BORDERLESS && state->screenMode != SCREEN_MODE_FULLSCREEN) return;

    DisplayModeList primary;
    enumeratePrimaryDisplayModes(&primary);
    buildResolutionList(state, primary.modes, primary.count);

    // The entry of the mode the window was opened in, looked up among the modes of
    // the current monitor's device.
    const BackendWindow& window = display->window;
    wchar_t device[DISPLAY_DEVICE_NAME_CAPACITY];
    DisplayModeList monitorModes = {};
    if (displayDeviceOfMonitor(currentMonitor(state, display), device) &&
        enumerateDisplayModes(device, &monitorModes)) {
        int32_t mode = findMode(monitorModes.modes, monitorModes.count, static_cast<uint32_t>(windowRectWidth(&window)),
                                static_cast<uint32_t>(windowRectHeight(&window)), window.bitsPerPixel,
                                window.refreshRate);
        if (mode >= 0) {
            int32_t resolution = findResolution(state, monitorModes.modes[mode].width, monitorModes.modes[mode].height);
            if (resolution >= 0) state->currentResolution = static_cast<uint32_t>(resolution);
        }
    }
    releaseDisplayModeList(&monitorModes);

    buildFrequencyList(state, primary.modes, primary.count);
    int32_t frequency = findFrequency(state, window.refreshRate);
    state->currentFrequency = frequency >= 0 ? static_cast<uint32_t>(frequency) : 0;
    releaseDisplayModeList(&primary);
}

void getAvailableRendererResolutions(RendererState* state) {
    DisplayModeList primary;
    enumeratePrimaryDisplayModes(&primary);
    buildResolutionList(state, primary.modes, primary.count);
    releaseDisplayModeList(&primary);
}

void getAvailableRendererFrequenciesForResolution(RendererState* state) {
    DisplayModeList primary;
    enumeratePrimaryDisplayModes(&primary);
    buildFrequencyList(state, primary.modes, primary.count);
    releaseDisplayModeList(&primary);
}

bool setDisplayResolutionInRenderer(RendererState* state, int32_t index) {
    BackendDisplay* display = backendDisplay(state);
    if (!display || index < 0 || static_cast<uint32_t>(index) >= state->resolutionCount) return false;
    BackendWindow& window = display->window;
    const DisplayResolution resolution = state->resolutions[index];

    DisplayModeList primary;
    enumeratePrimaryDisplayModes(&primary);
    int32_t chosen = chooseModeForResolution(primary.modes, primary.count, resolution.width, resolution.height,
                                             window.bitsPerPixel, window.refreshRate);
    bool changed = chosen >= 0 && changeDisplayMode(primary.modes[chosen]);
    for (uint32_t i = 0; chosen >= 0 && !changed && i < primary.count; ++i) {
        const DisplayMode& mode = primary.modes[i];
        if (mode.width != resolution.width || mode.height != resolution.height ||
            mode.bitsPerPixel != window.bitsPerPixel)
            continue;
        if (changeDisplayMode(mode)) {
            chosen = static_cast<int32_t>(i);
            changed = true;
        }
    }
    if (!changed) {
        releaseDisplayModeList(&primary);
        return false;
    }
    const DisplayMode mode = primary.modes[chosen];
    state->currentResolution = static_cast<uint32_t>(index);
    buildFrequencyList(state, primary.modes, primary.count);
    int32_t frequency = findFrequency(state, mode.frequency);
    state->currentFrequency = frequency >= 0 ? static_cast<uint32_t>(frequency) : 0;
    releaseDisplayModeList(&primary);
    return recreateWindowForMode(&window, mode);
}

bool setDisplayFrequencyInRenderer(RendererState* state, int32_t index) {
    BackendDisplay* display = backendDisplay(state);
    if (!display || index < 0 || static_cast<uint32_t>(index) >= state->frequencyCount ||
        state->currentResolution >= state->resolutionCount)
        return false;
    BackendWindow& window = display->window;
    const DisplayResolution resolution = state->resolutions[state->currentResolution];
    const uint32_t wanted = state->frequencies[index];

    DisplayModeList primary;
    enumeratePrimaryDisplayModes(&primary);
    int32_t found =
        findMode(primary.modes, primary.count, resolution.width, resolution.height, window.bitsPerPixel, wanted);
    if (found < 0 || !changeDisplayMode(primary.modes[found])) {
        releaseDisplayModeList(&primary);
        return false;
    }
    const DisplayMode mode = primary.modes[found];
    state->currentFrequency = static_cast<uint32_t>(index);
    buildFrequencyList(state, primary.modes, primary.count);
    int32_t frequency = findFrequency(state, mode.frequency);
    if (frequency >= 0) state->currentFrequency = static_cast<uint32_t>(frequency);
    releaseDisplayModeList(&primary);
    return recreateWindowForMode(&window, mode);
}

bool setMonitorInRenderer(RendererState* state, uint32_t index) {
    BackendDisplay* display = backendDisplay(state);
    if (!display || index >= state->monitorCount || !display->monitors) return false;
    state->currentMonitor = index;
    const MONITORINFOEXW* monitor = &display->monitors[index];

    DisplayModeList primary;
    enumeratePrimaryDisplayModes(&primary);
    buildResolutionList(state, primary.modes, primary.count);
    state->currentResolution = 0;
    DisplayMode current = {};
    selectCurrentModeOfMonitor(state, display, &current);

    wchar_t device[DISPLAY_DEVICE_NAME_CAPACITY];
    if (!displayDeviceOfMonitor(monitor, device) ||
        ChangeDisplaySettingsExW(device, nullptr, nullptr, 0, nullptr) != DISP_CHANGE_SUCCESSFUL)
        showDisplayModeFailed();

    const RECT& area = monitor->rcMonitor;
    if (display->window.window)
        SetWindowPos(display->window.window, nullptr, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOZORDER | SWP_SHOWWINDOW);

    buildFrequencyList(state, primary.modes, primary.count);
    int32_t frequency = findFrequency(state, current.frequency);
    state->currentFrequency = frequency >= 0 ? static_cast<uint32_t>(frequency) : 0;
    releaseDisplayModeList(&primary);
    clipCursorToMonitor(display, monitor);
    return true;
}

int32_t monitorUnderWindow(RendererState* state, BackendDisplay* display) {
    if (!display->monitors || state->monitorCount == 0 || !display->window.window) return -1;
    RECT placed = {};
    GetWindowRect(display->window.window, &placed);
    ScreenRect* screens = static_cast<ScreenRect*>(calloc(state->monitorCount, sizeof(ScreenRect)));
    if (!screens) return -1;
    for (uint32_t i = 0; i < state->monitorCount; ++i) screens[i] = screenRectOf(display->monitors[i].rcMonitor);
    int32_t best = screenWithLargestOverlap(screens, state->monitorCount, screenRectOf(placed));
    free(screens);
    return best;
}
