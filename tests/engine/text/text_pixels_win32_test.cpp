// A text drawn for real: the OpenGL backend under Wine renders a clipped text with the
// built-in text shader into a frame buffer, and the pixels read back must lie on the
// glyph quads the layout computed, inside the clip box, and nowhere else.
#include "engine/program/program_state.h"
#include "engine/text/gui.h"
#include "engine/text/utf8_decode.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

namespace {

intptr_t passMessages(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return DefWindowProcW(static_cast<HWND>(window), message, wParam, lParam);
}

struct PixelRect {
    int32_t x0, y0, x1, y1;
};

class TextPixels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(makeFontModuleDirectory("pixels").empty());
        library = LoadLibraryA("VidPortOpenGL3_0.dll");
        ASSERT_NE(library, nullptr);
        void** slots = reinterpret_cast<void**>(&gRenderer);
        for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i)
            slots[i] = reinterpret_cast<void*>(GetProcAddress(library, kRendererEntryPointNames[i]));
        readPixels = reinterpret_cast<readPixelsInRendererFn>(
            reinterpret_cast<void*>(GetProcAddress(library, RENDERER_READ_PIXELS_NAME)));
        registerWndProcFn registerProcedure =
            reinterpret_cast<registerWndProcFn>(
            reinterpret_cast<void*>(GetProcAddress(library, RENDERER_REGISTER_WNDPROC_NAME)));
        ASSERT_NE(readPixels, nullptr);
        ASSERT_NE(registerProcedure, nullptr);
        ASSERT_NE(gRenderer.initRenderer, nullptr);
        registerProcedure(passMessages);
        gRendererState = RendererState{};
        WindowParameters parameters = {320, 180, 32, 60, SCREEN_MODE_WINDOWED};
        initialised = gRenderer.initRenderer(&gRendererState, &parameters, "text pixels");
        ASSERT_TRUE(initialised);
        ASSERT_GT(gRendererState.width, 0u);
    }
    void TearDown() override {
        releaseFontAtlas(&font);
        if (initialised) gRenderer.cleanupRenderer(&gRendererState);
        gRenderer = RendererApi{};
        if (library) FreeLibrary(library);
    }
    HMODULE library = nullptr;
    readPixelsInRendererFn readPixels = nullptr;
    bool initialised = false;
    FontAtlas font = {};
};

TEST_F(TextPixels, GlyphPixelsLieOnTheLaidOutQuadsInsideTheClipBox) {
    const int32_t W = static_cast<int32_t>(gRendererState.width);
    const int32_t H = static_cast<int32_t>(gRendererState.height);
    gRenderer.beginFrameInRenderer(&gRendererState);

    TextureDescription colour = {static_cast<uint16_t>(W), static_cast<uint16_t>(H), PIXEL_FORMAT_RGBA8,
                                 WRAP_CLAMP_TO_EDGE, ATTACHMENT_COLOR, 1, 0, 1};
    TextureDescription* attachments[1] = {&colour};
    FrameBufferRecord target = {nullptr, 0, 0, 0, RENDERER_INVALID_ID, 0};
    gRenderer.createFrameBufferInRenderer(&gRendererState, &target, W, H, attachments, 1);
    gRenderer.bindFrameBufferInRenderer(&gRendererState, &target);
    gRenderer.setViewPortOnRenderer(&gRendererState, 0, 0, W, H);
    gRenderer.setScissorOnRenderer(&gRendererState, 0, 0, W, H);
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    gRenderer.clearColorBufferOnRenderer(&gRendererState, black);
    gRenderer.enableDepthTestOnRenderer(&gRendererState, false);

    GuiContext gui = {};
    initGui(&gui, nullptr, nullptr);
    ASSERT_TRUE(makeAtlas(&font, 24, "HIT"));
    // A box of 400 x 100 design units at (200, 300): 100 x 25 pixels at (50, 75) in this
    // 320 x 180 window. Mode 0 cuts "HIT HIT HIT" into lines that run below the box.
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const char* text = "HIT HIT HIT";
    TextSize size = drawGuiText(&gui, &font, 200, 300, 400, 100, white, TEXT_ALIGN_CUT, "%s", text);
    ASSERT_GT(size.width, 0);
    GuiPixelRect box = guiRectToWindow(&gui, 200, 300, 400, 100);

    std::vector<uint8_t> pixels(static_cast<size_t>(W) * H * 4);
    ASSERT_TRUE(readPixels(&gRendererState, 0, 0, W, H, pixels.data()));
    gRenderer.unbindFrameBufferInRenderer(&gRendererState, &target);
    gRenderer.endFrameInRenderer(&gRendererState);

    // The same layout again, for the quads' places in the window.
    uint32_t codes[32];
    uint32_t count = decodeUtf8(text, codes, 32);
    TextLayoutBox layout = {box.x1 - box.x0, box.y1 - box.y0, &font, {1, 1, 1, 1}, TEXT_ALIGN_CUT};
    TextMeshes meshes = {};
    ASSERT_TRUE(layoutText(codes, count, &layout, &meshes, nullptr));
    std::vector<PixelRect> quads;
    for (uint32_t f = 0; f + 32 <= meshes.meshes[0].vertexFloatCount; f += 32) {
        const float* q = meshes.meshes[0].vertices + f;
        if (q[16] - q[0] <= 0 || q[9] - q[1] <= 0) continue; // the spaces
        quads.push_back(PixelRect{box.x0 + static_cast<int32_t>(q[0]), box.y0 + static_cast<int32_t>(q[1]),
                                  box.x0 + static_cast<int32_t>(q[16]), box.y0 + static_cast<int32_t>(q[9])});
    }
    releaseTextMeshes(&meshes);
    ASSERT_GE(quads.size(), 6u);

    auto lit = [&](int32_t x, int32_t y) { return pixels[(static_cast<size_t>(y) * W + x) * 4 + 1] > 24; };
    uint32_t litCount = 0;
    for (int32_t y = 0; y < H; ++y) {
        for (int32_t x = 0; x < W; ++x) {
            if (!lit(x, y)) continue;
            ++litCount;
            EXPECT_TRUE(x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1)
                << "lit pixel outside the clip box at " << x << ", " << y;
            bool onQuad = false;
            for (const PixelRect& q : quads)
                onQuad = onQuad || (x >= q.x0 - 1 && x <= q.x1 && y >= q.y0 - 1 && y <= q.y1);
            EXPECT_TRUE(onQuad) << "lit pixel off every glyph at " << x << ", " << y;
        }
    }
    EXPECT_GT(litCount, 50u);
    // Every glyph wholly inside the box shows; the lines below the box do not.
    uint32_t inside = 0, below = 0;
    for (const PixelRect& q : quads) {
        uint32_t n = 0;
        for (int32_t y = q.y0; y < q.y1; ++y)
            for (int32_t x = q.x0; x < q.x1; ++x)
                if (x >= 0 && x < W && y >= 0 && y < H) n += lit(x, y);
        if (q.x0 >= box.x0 && q.x1 <= box.x1 && q.y0 >= box.y0 && q.y1 <= box.y1) {
            ++inside;
            EXPECT_GT(n, 0u) << "glyph at " << q.x0 << ", " << q.y0 << " left no pixel";
        } else if (q.y1 <= box.y0) {
            ++below;
            EXPECT_EQ(n, 0u);
        }
    }
    EXPECT_GE(inside, 3u);
    EXPECT_GE(below, 1u);
    releaseGui(&gui);
}

} // namespace
