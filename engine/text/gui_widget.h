// Buttons and panels of the GUI: a widget's state follows the mouse, a style per state
// says how it looks, a panel offsets and clips what is drawn inside it.
#pragma once

#include "engine/text/gui.h"

enum GuiWidgetState : int32_t {
    WIDGET_IDLE = 0,
    WIDGET_HOVERED = 1,
    WIDGET_ENTERED_HELD = 2, // came in with the button already down: releasing is no click
    WIDGET_PRESSED = 3,
    WIDGET_DISABLED = 4,
    WIDGET_STATE_COUNT = 5,
};

struct GuiStyle {
    float background[4];
    float border[4];
    float borderWidths[4]; // left, right, bottom, top, design units
    float text[4];
};

// A rectangle in design units (lower-left corner, size) with a label laid out in the
// rectangle inset by padding on each side.
struct GuiWidget {
    float x, y, width, height;
    float padding;
    int32_t alignment; // TextAlignment of the label
    FontAtlas* font;
    int32_t state;     // GuiWidgetState
};

// The pause and end screens' button: 200 x 120 centred in the design space, padding 10
// (a 180 x 100 label box), centred label in the given (large) font.
GuiWidget makeMenuButton(FontAtlas* font);

// Its looks by state: idle, hovered, entered held, pressed, disabled.
extern const GuiStyle kMenuButtonStyles[WIDGET_STATE_COUNT];

// Moves the widget's state with this frame's mouse (setGuiInput); true on the frame a
// press that started inside is released inside. A disabled widget never changes.
bool guiWidgetInput(GuiContext* gui, GuiWidget* widget);

// Background, borders and the label (printf format), in the style of its state.
void drawGuiWidget(GuiContext* gui, const GuiWidget* widget, const GuiStyle styles[WIDGET_STATE_COUNT],
                   const char* format, ...);
// The same with a label that is not a format.
void drawGuiWidgetLiteral(GuiContext* gui, const GuiWidget* widget, const GuiStyle styles[WIDGET_STATE_COUNT],
                          const char* label);

// A framed area: draws its background and borders, then offsets and clips everything
// drawn until endGuiPanel to it. Panels do not nest: a second begin replaces the first.
void beginGuiPanel(GuiContext* gui, float x, float y, float width, float height, const GuiStyle* style);
void endGuiPanel(GuiContext* gui);

// Background (inset by the border widths) and border strips of a design rectangle.
void drawGuiFrame(GuiContext* gui, float x, float y, float width, float height, const GuiStyle* style);
