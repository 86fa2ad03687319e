// The immediate-mode GUI: texts, filled rectangles, panels and buttons placed in a
// 1280 x 720 design space (origin bottom left, y up) that is scaled to the GUI
// viewport, drawn through the bound backend with the built-in GUI shaders.
//
// A frame of GUI drawing:
//   beginGuiFrame(&gui);                        // once per frame, before any text
//   drawGuiRectangle(&gui, 40, 130, 620, 100, grey);
//   drawGuiText(&gui, small, 50, 130, 600, 100, white, TEXT_ALIGN_WRAP, "%s", note);
//   if (guiWidgetInput(&gui, &button)) ...;     // after setGuiInput with this frame's mouse
//   drawGuiWidget(&gui, &button, kMenuButtonStyles, "%s", label);
#pragma once

#include "backend/renderer_types.h"
#include "engine/assets/model_drawing.h"
#include "engine/math/matrix.h"
#include "engine/text/text_layout.h"

#include <stdarg.h>
#include <stdint.h>

#define GUI_DESIGN_WIDTH 1280.0f
#define GUI_DESIGN_HEIGHT 720.0f
#define GUI_MESH_RING_START 16 // text slots before the first frame shows how many are needed

// Longest formatted text drawn; a longer result is cut there.
#define GUI_FORMATTED_TEXT_LIMIT 65536

// The four built-in shaders of the backend, created once for every GUI context.
enum GuiShader {
    GUI_SHADER_TEXT = 0,             // vertex format 8, "pos" and "scale"
    GUI_SHADER_COLOR = 1,            // vertex format 0, "mvMat", "projMat", "color"
    GUI_SHADER_TRANSFORMED_TEXT = 2, // vertex format 8, "mvMat", "projMat"
    GUI_SHADER_IMAGE = 3,            // vertex format 0, "mvMat", "projMat", premultiplied blending
    GUI_SHADER_COUNT = 4,
};

// A window-pixel rectangle, bottom-up: x0 <= x < x1, y0 <= y < y1.
struct GuiPixelRect {
    int32_t x0, y0, x1, y1;
};

struct GuiContext {
    int32_t viewportX; // the window region the design space maps onto, bottom-up pixels
    int32_t viewportY;
    int32_t viewportWidth;
    int32_t viewportHeight;
    Mat4 projection; // design space to clip space ("projMat")
    Mat4 modelView;  // starts as the identity
    ShaderRecord* textShader;
    ShaderRecord* colorShader;
    // The open panel: what is drawn inside is offset by its corner and clipped to it.
    uint8_t panelOpen;
    float panelX;
    float panelY;
    GuiPixelRect panelClip;
    // This frame's mouse, render pixels from the bottom left.
    int32_t cursorX;
    int32_t cursorY;
    uint8_t leftDown;
    // Per-frame mesh ring: one slot per text mesh drawn this frame.
    GpuMesh* ring;
    uint32_t ringSize;
    uint32_t ringUsed;
};

// Fills a context (whatever it held) and sets its viewport to the whole back buffer (RendererState width and height), the
// projection and an empty ring, and takes the shaders to draw texts and rectangles
// with; null takes the backend's built-in one. Creates the built-in shaders the first
// time (when a backend is bound).
void initGui(GuiContext* gui, ShaderRecord* textShader, ShaderRecord* colorShader);

// After a resize: the design space maps onto this window region from now on.
void setGuiViewport(GuiContext* gui, int32_t x, int32_t y, int32_t width, int32_t height);

// The mouse as the input snapshot has it (render pixels, y from the bottom).
void setGuiInput(GuiContext* gui, int32_t cursorX, int32_t cursorY, bool leftDown);

// At the start of each frame: grows the mesh ring when the last frame needed more
// slots than it had, and starts counting again.
void beginGuiFrame(GuiContext* gui);

// The built-in shader records (slot -1 until created).
ShaderRecord* guiBuiltInShader(GuiShader shader);

// A design-space rectangle (plus the open panel's offset) in window pixels.
GuiPixelRect guiRectToWindow(const GuiContext* gui, float x, float y, float width, float height);

// A filled rectangle in design units, clipped to the open panel.
void drawGuiRectangle(GuiContext* gui, float x, float y, float width, float height, const float color[4]);

// Text in a design-space box whose lower-left corner is (x, y): laid out from the box's
// top edge in the alignment mode, clipped to the box (and the open panel). The format
// follows printf. Returns the text's size in pixels; 0 x 0 when nothing was drawn.
TextSize drawGuiText(GuiContext* gui, FontAtlas* font, float x, float y, float width, float height,
                     const float color[4], int32_t alignment, const char* format, ...);
TextSize drawGuiTextV(GuiContext* gui, FontAtlas* font, float x, float y, float width, float height,
                      const float color[4], int32_t alignment, const char* format, va_list arguments);
// The same for text that must not be read as a format (names from data files).
TextSize drawGuiTextLiteral(GuiContext* gui, FontAtlas* font, float x, float y, float width, float height,
                            const float color[4], int32_t alignment, const char* text);

// Text laid out in one design rectangle (x, y, width, height) and clipped to another,
// as a widget's padded label is clipped to the widget.
TextSize drawGuiLabelV(GuiContext* gui, FontAtlas* font, const float box[4], const float bounds[4],
                       const float color[4], int32_t alignment, const char* format, va_list arguments);
TextSize drawGuiLabelLiteral(GuiContext* gui, FontAtlas* font, const float box[4], const float bounds[4],
                             const float color[4], int32_t alignment, const char* text);

// A window position (render pixels, y from the bottom, such as the cursor) in design units.
void guiWindowToDesign(const GuiContext* gui, int32_t x, int32_t y, float* designX, float* designY);

// Releases the ring's buffers (when a backend is bound) and the ring.
void releaseGui(GuiContext* gui);
