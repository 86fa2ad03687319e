// Display devices, their modes, display-mode changes and monitors, through the
// Win32 display settings (shared by both backend libraries).
#pragma once

#include "backends/window/backend_display.h"

enum { DISPLAY_DEVICE_NAME_CAPACITY = 32 };

struct DisplayModeList {
    DisplayMode* modes;
    uint32_t count;
};

// The first device EnumDisplayDevicesW reports.
bool primaryDisplayDevice(wchar_t* name);

// The display device whose name is the monitor's device name; the primary device
// when none matches.
bool displayDeviceOfMonitor(const MONITORINFOEXW* monitor, wchar_t* name);

// Every mode EnumDisplaySettingsW reports for the device, in its order.
bool enumerateDisplayModes(const wchar_t* device, DisplayModeList* list);
bool enumeratePrimaryDisplayModes(DisplayModeList* list);
void releaseDisplayModeList(DisplayModeList* list);

// The device's current mode (ENUM_CURRENT_SETTINGS).
bool readCurrentDisplayMode(const wchar_t* device, DisplayMode* mode);

// ChangeDisplaySettingsW with CDS_FULLSCREEN for the size, depth and rate.
bool changeDisplayMode(const DisplayMode& mode);

// Back to the desktop's registered mode (ChangeDisplaySettingsW with no mode).
bool restoreDesktopDisplayMode();

// Counts and fills the monitor list, names the monitors, keeps the current monitor
// in range.
bool enumerateMonitors(RendererState* state, BackendDisplay* display);

// The monitor the state names as current, or null when there is none.
const MONITORINFOEXW* currentMonitor(RendererState* state, BackendDisplay* display);

// The monitor whose rectangle shares the largest area with the window's (the first
// of equal areas), or -1.
int32_t monitorUnderWindow(RendererState* state, BackendDisplay* display);

// Clips the cursor to the window's client rectangle placed at the monitor's
// top-left corner; the ClipCursor result.
bool clipCursorToMonitor(const BackendDisplay* display, const MONITORINFOEXW* monitor);

// Start-up lists: the monitors, and in borderless and fullscreen mode the resolution
// list with the window's mode selected and its frequency list.
void buildStartupDisplayLists(RendererState* state, BackendDisplay* display);

// Selects the resolution of the device's current mode (the caller rebuilds the
// frequency list for it); returns that mode through *current when given.
void selectCurrentModeOfMonitor(RendererState* state, BackendDisplay* display, DisplayMode* current);
