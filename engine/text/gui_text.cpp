#include "engine/text/gui.h"

#include "engine/program/program_state.h"
#include "backend/renderer_api.h"
#include "engine/assets/dyn_array.h"
#include "engine/text/utf8_decode.h"

#include <stdio.h>
#include <string.h>

namespace {

// Shared by every text drawn: the formatted bytes, their code points, the meshes.
char* gFormatted;
uint32_t gFormattedCapacity;
uint32_t* gCodes;
uint32_t gCodesCapacity;
TextMeshes gMeshes;

// A printf field width or precision above this refuses the format: some C runtimes
// build a padded field on the stack, and a language file's "%10000000d" must not
// overflow it.
const uint32_t kLargestFieldWidth = 4096;

bool fieldsAreBounded(const char* format) {
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') ++p;
        for (int part = 0; part < 2; ++part) {
            uint32_t value = 0;
            while (*p >= '0' && *p <= '9') {
                value = value * 10 + static_cast<uint32_t>(*p - '0');
                if (value > kLargestFieldWidth) return false;
                ++p;
            }
            if (part == 0 && *p == '.') ++p;
            else break;
        }
        if (*p == 0) break;
    }
    return true;
}

const char* formatText(const char* format, va_list arguments) {
    if (!fieldsAreBounded(format)) return nullptr;
    if (!growElements(&gFormatted, &gFormattedCapacity, 512)) return nullptr;
    va_list copy;
    va_copy(copy, arguments);
    int length = vsnprintf(gFormatted, gFormattedCapacity, format, copy);
    va_end(copy);
    if (length < 0) return nullptr;
    if (static_cast<uint32_t>(length) >= gFormattedCapacity) {
        // Grown to twice the text plus 4, but never past the limit: a huge result is
        // cut rather than allowed to ask for gigabytes.
        uint32_t kept = length > GUI_FORMATTED_TEXT_LIMIT ? GUI_FORMATTED_TEXT_LIMIT : static_cast<uint32_t>(length);
        if (!growElements(&gFormatted, &gFormattedCapacity, 2 * kept + 4)) return nullptr;
        va_copy(copy, arguments);
        vsnprintf(gFormatted, kept + 1, format, copy);
        va_end(copy);
    }
    return gFormatted;
}

// Decodes into the shared code point buffer; 0 code points on failure.
uint32_t decodeShared(const char* text) {
    size_t bytes = strlen(text);
    if (bytes > GUI_FORMATTED_TEXT_LIMIT) bytes = GUI_FORMATTED_TEXT_LIMIT;
    if (!growElements(&gCodes, &gCodesCapacity, static_cast<uint32_t>(bytes) + 1)) return 0;
    return decodeUtf8(text, gCodes, static_cast<uint32_t>(bytes));
}

// Lays the shared code points out (adding missing glyphs once) and draws every page's
// mesh at (x, y) pixels from the GUI viewport's origin.
TextSize layOutAndDraw(GuiContext* gui, float x, float y, const TextLayoutBox* box, uint32_t count) {
    TextSize size = {0, 0};
    FontAtlas* atlas = box->font;
    if (!atlas) return size;
    if (atlas->pendingCount) addPendingGlyphs(atlas);
    if (!layoutText(gCodes, count, box, &gMeshes, &size)) {
        addPendingGlyphs(atlas);
        if (!layoutText(gCodes, count, box, &gMeshes, &size)) return TextSize{0, 0};
    }
    RendererState* state = &gRendererState;
    ShaderRecord* shader = gui->textShader;
    if (!shader || !gRenderer.drawIndexedInRenderer || state->width == 0 || state->height == 0) return size;
    float W = static_cast<float>(state->width);
    float H = static_cast<float>(state->height);
    ShaderRecord* previous = state->currentShader;
    gRenderer.setViewPortOnRenderer(state, 0, 0, static_cast<int32_t>(state->width), static_cast<int32_t>(state->height));
    gRenderer.bindShaderInRenderer(state, shader);
    const float position[3] = {2.0f * (gui->viewportX + x) / W - 1.0f, 2.0f * (gui->viewportY + y) / H - 1.0f, 0.0f};
    const float scale[3] = {2.0f / W * 0.9999f, 2.0f / H * 0.9999f, 0.0f};
    gRenderer.sendVector3DToShaderInRenderer(state, shader, "pos", position);
    gRenderer.sendVector3DToShaderInRenderer(state, shader, "scale", scale);
    for (uint32_t page = 0; page < gMeshes.count && page < atlas->pageCount; ++page) {
        const TextMesh* mesh = &gMeshes.meshes[page];
        if (mesh->indexCount == 0) continue;
        // Every slot is counted, drawn or not, so the next frame's ring has room.
        uint32_t slot = gui->ringUsed++;
        if (slot >= gui->ringSize) continue;
        uploadMesh(&gui->ring[slot], mesh->vertices, textMeshVertexCount(mesh), mesh->indices, mesh->indexCount,
                   mesh->vertexFormat);
        gRenderer.bindTextureInRenderer(state, atlas->pages[page].texture, 0);
        gRenderer.drawIndexedInRenderer(state, shader, gui->ring[slot].indexBuffer, gui->ring[slot].vertexInput);
    }
    if (previous && previous != shader) gRenderer.bindShaderInRenderer(state, previous);
    gRenderer.setViewPortOnRenderer(state, gui->viewportX, gui->viewportY, gui->viewportWidth, gui->viewportHeight);
    return size;
}

GuiPixelRect intersect(GuiPixelRect a, GuiPixelRect b) {
    GuiPixelRect r = {a.x0 > b.x0 ? a.x0 : b.x0, a.y0 > b.y0 ? a.y0 : b.y0, a.x1 < b.x1 ? a.x1 : b.x1,
                      a.y1 < b.y1 ? a.y1 : b.y1};
    return r;
}

// Lays text out in box and draws it clipped to bounds (both window pixels) and to the
// open panel or the GUI viewport.
TextSize drawInto(GuiContext* gui, GuiPixelRect box, GuiPixelRect bounds, FontAtlas* font, const float color[4],
                  int32_t alignment, const char* text) {
    TextSize none = {0, 0};
    if (!text) return none;
    GuiPixelRect area = gui->panelOpen ? gui->panelClip
                                       : GuiPixelRect{gui->viewportX, gui->viewportY,
                                                      gui->viewportX + gui->viewportWidth,
                                                      gui->viewportY + gui->viewportHeight};
    GuiPixelRect clip = intersect(bounds, area);
    if (clip.x1 <= clip.x0 || clip.y1 <= clip.y0) return none;
    uint32_t count = decodeShared(text);
    TextLayoutBox layout = {box.x1 - box.x0, box.y1 - box.y0, font, {color[0], color[1], color[2], color[3]},
                            alignment};
    RendererState* state = &gRendererState;
    int32_t saved[4] = {state->scissorLeft, state->scissorBottom, state->scissorRight, state->scissorTop};
    bool scissor = gRenderer.setScissorOnRenderer != nullptr;
    if (scissor) gRenderer.setScissorOnRenderer(state, clip.x0, clip.y0, clip.x1, clip.y1);
    TextSize size = layOutAndDraw(gui, static_cast<float>(box.x0 - gui->viewportX),
                                  static_cast<float>(box.y0 - gui->viewportY), &layout, count);
    if (scissor) gRenderer.setScissorOnRenderer(state, saved[0], saved[1], saved[2], saved[3]);
    return size;
}

TextSize drawClipped(GuiContext* gui, FontAtlas* font, float x, float y, float width, float height,
                     const float color[4], int32_t alignment, const char* text) {
    GuiPixelRect box = guiRectToWindow(gui, x, y, width, height);
    return drawInto(gui, box, box, font, color, alignment, text);
}

} // namespace

TextSize drawGuiLabelV(GuiContext* gui, FontAtlas* font, const float box[4], const float bounds[4],
                       const float color[4], int32_t alignment, const char* format, va_list arguments) {
    const char* text = format ? formatText(format, arguments) : nullptr;
    return drawInto(gui, guiRectToWindow(gui, box[0], box[1], box[2], box[3]),
                    guiRectToWindow(gui, bounds[0], bounds[1], bounds[2], bounds[3]), font, color, alignment, text);
}

TextSize drawGuiLabelLiteral(GuiContext* gui, FontAtlas* font, const float box[4], const float bounds[4],
                             const float color[4], int32_t alignment, const char* text) {
    return drawInto(gui, guiRectToWindow(gui, box[0], box[1], box[2], box[3]),
                    guiRectToWindow(gui, bounds[0], bounds[1], bounds[2], bounds[3]), font, color, alignment, text);
}

void guiWindowToDesign(const GuiContext* gui, int32_t x, int32_t y, float* designX, float* designY) {
    *designX = gui->viewportWidth ? (x - gui->viewportX) * GUI_DESIGN_WIDTH / gui->viewportWidth : 0.0f;
    *designY = gui->viewportHeight ? (y - gui->viewportY) * GUI_DESIGN_HEIGHT / gui->viewportHeight : 0.0f;
}

TextSize drawGuiTextV(GuiContext* gui, FontAtlas* font, float x, float y, float width, float height,
                      const float color[4], int32_t alignment, const char* format, va_list arguments) {
    const char* text = format ? formatText(format, arguments) : nullptr;
    return drawClipped(gui, font, x, y, width, height, color, alignment, text);
}

TextSize drawGuiText(GuiContext* gui, FontAtlas* font, float x, float y, float width, float height,
                     const float color[4], int32_t alignment, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    TextSize size = drawGuiTextV(gui, font, x, y, width, height, color, alignment, format, arguments);
    va_end(arguments);
    return size;
}

TextSize drawGuiTextLiteral(GuiContext* gui, FontAtlas* font, float x, float y, float width, float height,
                            const float color[4], int32_t alignment, const char* text) {
    return drawClipped(gui, font, x, y, width, height, color, alignment, text);
}
