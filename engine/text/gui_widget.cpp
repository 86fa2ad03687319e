#include "engine/text/gui_widget.h"

#include <stdarg.h>

const GuiStyle kMenuButtonStyles[WIDGET_STATE_COUNT] = {
    {{0.15f, 0.15f, 0.18f, 0.85f}, {0.9f, 0.9f, 0.9f, 1.0f}, {2, 2, 2, 2}, {0.9f, 0.9f, 0.9f, 1.0f}},
    {{0.25f, 0.25f, 0.3f, 0.9f}, {1.0f, 1.0f, 1.0f, 1.0f}, {3, 3, 3, 3}, {1.0f, 1.0f, 1.0f, 1.0f}},
    {{0.25f, 0.25f, 0.3f, 0.9f}, {1.0f, 1.0f, 1.0f, 1.0f}, {3, 3, 3, 3}, {1.0f, 1.0f, 1.0f, 1.0f}},
    {{0.08f, 0.08f, 0.1f, 0.95f}, {0.9f, 0.9f, 0.9f, 1.0f}, {3, 3, 3, 3}, {0.8f, 0.8f, 0.8f, 1.0f}},
    {{0.15f, 0.15f, 0.18f, 0.4f}, {0.5f, 0.5f, 0.5f, 0.5f}, {2, 2, 2, 2}, {0.5f, 0.5f, 0.5f, 0.6f}},
};

GuiWidget makeMenuButton(FontAtlas* font) {
    GuiWidget button = {};
    button.width = 200.0f;
    button.height = 120.0f;
    button.x = GUI_DESIGN_WIDTH / 2.0f - button.width / 2.0f;
    button.y = GUI_DESIGN_HEIGHT / 2.0f - button.height / 2.0f;
    button.padding = 10.0f;
    button.alignment = TEXT_ALIGN_CENTRE;
    button.font = font;
    button.state = WIDGET_IDLE;
    return button;
}

bool guiWidgetInput(GuiContext* gui, GuiWidget* widget) {
    if (widget->state == WIDGET_DISABLED) return false;
    GuiPixelRect rect = guiRectToWindow(gui, widget->x, widget->y, widget->width, widget->height);
    bool inside = gui->cursorX >= rect.x0 && gui->cursorX < rect.x1 && gui->cursorY >= rect.y0 && gui->cursorY < rect.y1;
    if (gui->panelOpen) {
        const GuiPixelRect& clip = gui->panelClip;
        inside = inside && gui->cursorX >= clip.x0 && gui->cursorX < clip.x1 && gui->cursorY >= clip.y0 &&
                 gui->cursorY < clip.y1;
    }
    if (!inside) {
        widget->state = WIDGET_IDLE;
        return false;
    }
    bool down = gui->leftDown != 0;
    switch (widget->state) {
    case WIDGET_IDLE: widget->state = down ? WIDGET_ENTERED_HELD : WIDGET_HOVERED; return false;
    case WIDGET_ENTERED_HELD:
        if (!down) widget->state = WIDGET_HOVERED;
        return false;
    case WIDGET_HOVERED:
        if (down) widget->state = WIDGET_PRESSED;
        return false;
    case WIDGET_PRESSED:
        if (down) return false;
        widget->state = WIDGET_HOVERED;
        return true;
    default: widget->state = WIDGET_IDLE; return false;
    }
}

void drawGuiFrame(GuiContext* gui, float x, float y, float width, float height, const GuiStyle* style) {
    const float* w = style->borderWidths; // left, right, bottom, top
    bool borders = style->border[3] > 0.0f && (w[0] > 0.0f || w[1] > 0.0f || w[2] > 0.0f || w[3] > 0.0f);
    if (!(style->background[3] > 0.0f) && !borders) return;
    drawGuiRectangle(gui, x + w[0], y + w[2], width - w[0] - w[1], height - w[2] - w[3], style->background);
    if (w[0] > 0.0f) drawGuiRectangle(gui, x, y, w[0], height, style->border);
    if (w[1] > 0.0f) drawGuiRectangle(gui, x + width - w[1], y, w[1], height, style->border);
    if (w[2] > 0.0f) drawGuiRectangle(gui, x + w[0], y, width - w[0] - w[1], w[2], style->border);
    if (w[3] > 0.0f) drawGuiRectangle(gui, x + w[0], y + height - w[3], width - w[0] - w[1], w[3], style->border);
}

namespace {

// A widget's frame in the style of its state, and where its label goes: the box inside
// the padding, clipped to the widget.
const GuiStyle* drawWidgetFrame(GuiContext* gui, const GuiWidget* widget, const GuiStyle styles[WIDGET_STATE_COUNT],
                                float box[4], float bounds[4]) {
    int32_t state = widget->state >= 0 && widget->state < WIDGET_STATE_COUNT ? widget->state : WIDGET_IDLE;
    const GuiStyle* style = &styles[state];
    drawGuiFrame(gui, widget->x, widget->y, widget->width, widget->height, style);
    float p = widget->padding;
    box[0] = widget->x + p, box[1] = widget->y + p, box[2] = widget->width - 2 * p, box[3] = widget->height - 2 * p;
    bounds[0] = widget->x, bounds[1] = widget->y, bounds[2] = widget->width, bounds[3] = widget->height;
    return style;
}

} // namespace

void drawGuiWidgetLiteral(GuiContext* gui, const GuiWidget* widget, const GuiStyle styles[WIDGET_STATE_COUNT],
                          const char* label) {
    float box[4], bounds[4];
    const GuiStyle* style = drawWidgetFrame(gui, widget, styles, box, bounds);
    drawGuiLabelLiteral(gui, widget->font, box, bounds, style->text, widget->alignment, label);
}

void drawGuiWidget(GuiContext* gui, const GuiWidget* widget, const GuiStyle styles[WIDGET_STATE_COUNT],
                   const char* format, ...) {
    float box[4], bounds[4];
    const GuiStyle* style = drawWidgetFrame(gui, widget, styles, box, bounds);
    va_list arguments;
    va_start(arguments, format);
    drawGuiLabelV(gui, widget->font, box, bounds, style->text, widget->alignment, format, arguments);
    va_end(arguments);
}

void beginGuiPanel(GuiContext* gui, float x, float y, float width, float height, const GuiStyle* style) {
    endGuiPanel(gui);
    if (style) drawGuiFrame(gui, x, y, width, height, style);
    gui->panelClip = guiRectToWindow(gui, x, y, width, height);
    gui->panelX = x;
    gui->panelY = y;
    gui->panelOpen = 1;
}

void endGuiPanel(GuiContext* gui) {
    gui->panelOpen = 0;
    gui->panelX = 0.0f;
    gui->panelY = 0.0f;
}
