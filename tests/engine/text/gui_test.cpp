#include "engine/text/gui.h"
#include "engine/text/gui_element.h"
#include "engine/text/gui_widget.h"
#include "engine/program/program_state.h"
#include "tests/support/recording_renderer.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

int32_t integer(const RecordedCall& call, size_t i) {
    return i < call.integers.size() ? static_cast<int32_t>(call.integers[i]) : -1;
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(makeFontModuleDirectory("gui").empty());
        startRecording(4096);
        initGui(&gui, nullptr, nullptr);
        ASSERT_TRUE(makeAtlas(&font, 20, "Helo"));
        recorder.calls.clear();
    }
    void startRecording(uint32_t maxTextureSize) {
        removeRecordingRenderer();
        recorder = RecordingRenderer();
        recorder.maxTextureSize = maxTextureSize;
        installRecordingRenderer(&recorder);
        gRendererState = RendererState{};
        gRendererState.width = 1280;
        gRendererState.height = 720;
        gRendererState.scissorTop = 720;
        gRendererState.scissorRight = 1280;
        gRendererState.quadVertexInput = 900;
        gRendererState.quadIndexBuffer = 901;
    }
    std::vector<RecordedCall>& recordedCalls() { return recorder.calls; }
    size_t count(const char* name) { return countCalls(&recorder, name); }
    const RecordedCall* lastUniform(const char* name) {
        for (size_t i = recorder.calls.size(); i-- > 0;)
            if (recorder.calls[i].name.compare(0, 4, "send") == 0 && recorder.calls[i].text == name)
                return &recorder.calls[i];
        return nullptr;
    }
    void TearDown() override {
        releaseGui(&gui);
        releaseFontAtlas(&font);
        removeRecordingRenderer();
        gRendererState = RendererState{};
    }
    // One frame of input for the widget; true when it clicked.
    bool frame(GuiWidget* widget, int32_t x, int32_t y, bool down) {
        setGuiInput(&gui, x, y, down);
        return guiWidgetInput(&gui, widget);
    }
    RecordingRenderer recorder;
    GuiContext gui = {};
    FontAtlas font = {};
};

TEST_F(GuiTest, WindowPositionsMapToDesignUnits) {
    setGuiViewport(&gui, 100, 0, 640, 360);
    float x, y;
    guiWindowToDesign(&gui, 420, 180, &x, &y);
    EXPECT_FLOAT_EQ(x, 640.0f);
    EXPECT_FLOAT_EQ(y, 360.0f);
    GuiPixelRect rect = guiRectToWindow(&gui, 640, 360, 128, 72);
    EXPECT_EQ(rect.x0, 420);
    EXPECT_EQ(rect.y0, 180);
    EXPECT_EQ(rect.x1, 484);
    EXPECT_EQ(rect.y1, 216);
}

TEST_F(GuiTest, TheMenuButtonIsCentredWithAPaddedLabel) {
    GuiWidget button = makeMenuButton(&font);
    EXPECT_EQ(button.x, 540.0f);
    EXPECT_EQ(button.y, 300.0f);
    EXPECT_EQ(button.width, 200.0f);
    EXPECT_EQ(button.height, 120.0f);
    EXPECT_EQ(button.padding, 10.0f);
    EXPECT_EQ(button.alignment, 4);
    EXPECT_EQ(button.state, WIDGET_IDLE);
}

TEST_F(GuiTest, AButtonClicksOnlyWhenPressedAndReleasedInside) {
    setGuiViewport(&gui, 0, 0, 640, 360); // the design space at half size
    GuiWidget button = makeMenuButton(&font); // (270, 150) to (370, 210) in the window
    const int32_t inX = 300, inY = 180, outX = 500, outY = 180;
    // Pressed outside, dragged in, released: no click.
    EXPECT_FALSE(frame(&button, outX, outY, true));
    EXPECT_EQ(button.state, WIDGET_IDLE);
    EXPECT_FALSE(frame(&button, inX, inY, true));
    EXPECT_EQ(button.state, WIDGET_ENTERED_HELD);
    EXPECT_FALSE(frame(&button, inX, inY, false));
    EXPECT_EQ(button.state, WIDGET_HOVERED);
    // Pressed and released inside: one click.
    EXPECT_FALSE(frame(&button, inX, inY, true));
    EXPECT_EQ(button.state, WIDGET_PRESSED);
    EXPECT_FALSE(frame(&button, inX + 10, inY, true));
    EXPECT_TRUE(frame(&button, inX, inY, false));
    EXPECT_FALSE(frame(&button, inX, inY, false));
    // Pressed inside, released outside: no click, back to idle.
    EXPECT_FALSE(frame(&button, inX, inY, true));
    EXPECT_FALSE(frame(&button, outX, outY, true));
    EXPECT_EQ(button.state, WIDGET_IDLE);
    EXPECT_FALSE(frame(&button, outX, outY, false));
    // The full-size rectangle is outside the scaled one.
    EXPECT_FALSE(frame(&button, 600, 340, false));
    EXPECT_EQ(button.state, WIDGET_IDLE);
}

TEST_F(GuiTest, ADisabledButtonNeverChangesOrClicks) {
    GuiWidget button = makeMenuButton(&font);
    button.state = WIDGET_DISABLED;
    for (bool down : {true, false, true, false}) {
        EXPECT_FALSE(frame(&button, 640, 360, down));
        EXPECT_EQ(button.state, WIDGET_DISABLED);
    }
    EXPECT_FALSE(frame(&button, 10, 10, false));
    EXPECT_EQ(button.state, WIDGET_DISABLED);
}

TEST_F(GuiTest, AFormattedTextWithMissingGlyphsIsDrawnInOneCall) {
    setGuiViewport(&gui, 0, 0, 1280, 720);
    TextSize size = drawGuiText(&gui, &font, 100, 200, 300, 60, kWhite, TEXT_ALIGN_WRAP, "Hello %d", 42);
    EXPECT_GT(size.width, 0);
    EXPECT_EQ(count("drawIndexedInRenderer"), 1u);
    GlyphInfo glyph;
    EXPECT_TRUE(lookUpGlyph(&font, '4', &glyph));
    EXPECT_EQ(font.pendingCount, 0u);
    const std::vector<RecordedCall>& calls = recordedCalls();
    size_t drawAt = 0;
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].name == "drawIndexedInRenderer") drawAt = i;
    EXPECT_EQ(calls[drawAt].shader, guiBuiltInShader(GUI_SHADER_TEXT));
    // pos is the box's lower-left corner in clip space, scale maps pixels.
    const RecordedCall* pos = lastUniform("pos");
    ASSERT_NE(pos, nullptr);
    EXPECT_FLOAT_EQ(pos->values[0], 2.0f * 100 / 1280 - 1);
    EXPECT_FLOAT_EQ(pos->values[1], 2.0f * 200 / 720 - 1);
    EXPECT_FLOAT_EQ(lastUniform("scale")->values[0], 2.0f / 1280 * 0.9999f);
    // Scissored to the box while drawing, then the full scissor again.
    bool clipped = false;
    for (size_t i = 0; i < drawAt; ++i)
        if (calls[i].name == "setScissorOnRenderer")
            clipped = integer(calls[i], 0) == 100 && integer(calls[i], 1) == 200 && integer(calls[i], 2) == 400 &&
                      integer(calls[i], 3) == 260;
    EXPECT_TRUE(clipped);
    EXPECT_EQ(gRendererState.scissorRight, 1280);
    EXPECT_EQ(gRendererState.scissorTop, 720);
    // The texture bound is the glyphs' page.
    bool bound = false;
    for (size_t i = 0; i < drawAt; ++i)
        if (calls[i].name == "bindTextureInRenderer")
            bound = integer(calls[i], 0) == static_cast<int32_t>(font.pages[0].texture) && integer(calls[i], 1) == 0;
    EXPECT_TRUE(bound);
}

TEST_F(GuiTest, TextOutsideTheViewportDrawsNothingAndReportsNoSize) {
    TextSize size = drawGuiText(&gui, &font, 1300, 100, 200, 50, kWhite, TEXT_ALIGN_WRAP, "Hello");
    EXPECT_EQ(size.width, 0);
    EXPECT_EQ(size.height, 0);
    EXPECT_EQ(count("drawIndexedInRenderer"), 0u);
    // Inside a panel the text is clipped to the panel too.
    beginGuiPanel(&gui, 100, 100, 200, 100, nullptr);
    size = drawGuiText(&gui, &font, 250, 0, 100, 50, kWhite, TEXT_ALIGN_WRAP, "Hello");
    EXPECT_EQ(size.width, 0);
    size = drawGuiText(&gui, &font, 10, 10, 100, 50, kWhite, TEXT_ALIGN_WRAP, "Hello");
    EXPECT_GT(size.width, 0);
    const RecordedCall* pos = lastUniform("pos");
    EXPECT_FLOAT_EQ(pos->values[0], 2.0f * 110 / 1280 - 1); // offset by the panel's corner
    endGuiPanel(&gui);
    EXPECT_EQ(count("drawIndexedInRenderer"), 1u);
}

TEST_F(GuiTest, TheMeshRingSkipsTextsItHasNoRoomForAndGrowsForTheNextFrame) {
    for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {
        beginGuiFrame(&gui);
        recordedCalls().clear();
        for (int i = 0; i < 20; ++i) drawGuiText(&gui, &font, 0, 0, 400, 100, kWhite, TEXT_ALIGN_CUT, "Hello");
        EXPECT_EQ(gui.ringUsed, 20u);
        EXPECT_EQ(count("drawIndexedInRenderer"), frameNumber == 0 ? 16u : 20u);
    }
    EXPECT_EQ(gui.ringSize, 21u);
    // Slots used before are updated, not created again.
    beginGuiFrame(&gui);
    recordedCalls().clear();
    drawGuiText(&gui, &font, 0, 0, 400, 100, kWhite, TEXT_ALIGN_CUT, "Hello");
    EXPECT_EQ(count("createVertexInputBufferInRenderer"), 0u);
    EXPECT_EQ(count("updateVertexInputBufferInRenderer"), 1u);
    EXPECT_EQ(count("updateIndexBufferInRenderer"), 1u);
}

TEST_F(GuiTest, AFilledRectangleUsesTheColourShaderAndTheUnitQuad) {
    ShaderRecord game = {};
    gRenderer.bindShaderInRenderer(&gRendererState, &game);
    recordedCalls().clear();
    const float grey[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    drawGuiRectangle(&gui, 40, 130, 620, 100, grey);
    ASSERT_EQ(count("drawIndexedInRenderer"), 1u);
    const RecordedCall* color = lastUniform("color");
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->shader, guiBuiltInShader(GUI_SHADER_COLOR));
    EXPECT_FLOAT_EQ(color->values[3], 0.5f);
    const RecordedCall* mv = lastUniform("mvMat");
    EXPECT_FLOAT_EQ(mv->values[0], 620.0f);
    EXPECT_FLOAT_EQ(mv->values[5], 100.0f);
    EXPECT_FLOAT_EQ(mv->values[12], 40.0f);
    EXPECT_FLOAT_EQ(mv->values[13], 130.0f);
    const RecordedCall* proj = lastUniform("projMat");
    EXPECT_FLOAT_EQ(proj->values[0], 2.0f / 1280);
    EXPECT_FLOAT_EQ(proj->values[12], -1.0f);
    for (const RecordedCall& c : recordedCalls())
        if (c.name == "drawIndexedInRenderer") {
            EXPECT_EQ(integer(c, 0), 901);
            EXPECT_EQ(integer(c, 1), 900);
        }
    // The shader bound before is bound again.
    EXPECT_EQ(gRendererState.currentShader, &game);
}

TEST_F(GuiTest, AWidgetDrawsItsBackgroundBordersAndLabel) {
    GuiWidget button = makeMenuButton(&font);
    drawGuiWidget(&gui, &button, kMenuButtonStyles, "%s", "Hello");
    EXPECT_EQ(count("drawIndexedInRenderer"), 6u); // inside, four borders, label
    // The label is laid out in the padded box and clipped to the whole button.
    const RecordedCall* scissor = findCall(&recorder, "setScissorOnRenderer");
    ASSERT_NE(scissor, nullptr);
    EXPECT_EQ(integer(*scissor, 0), 540);
    EXPECT_EQ(integer(*scissor, 1), 300);
    EXPECT_EQ(integer(*scissor, 2), 740);
    EXPECT_EQ(integer(*scissor, 3), 420);
    EXPECT_FLOAT_EQ(lastUniform("pos")->values[0], 2.0f * 550 / 1280 - 1);
    EXPECT_FLOAT_EQ(lastUniform("pos")->values[1], 2.0f * 310 / 720 - 1);
    // The inner rectangle is inset by the border widths.
    const RecordedCall* inner = findUniform(&recorder, "mvMat");
    EXPECT_FLOAT_EQ(inner->values[12], 542.0f);
    EXPECT_FLOAT_EQ(inner->values[0], 196.0f);
    recordedCalls().clear();
    GuiStyle invisible[WIDGET_STATE_COUNT] = {};
    for (GuiStyle& style : invisible) style.text[3] = 1.0f;
    drawGuiWidget(&gui, &button, invisible, "Hello");
    EXPECT_EQ(count("drawIndexedInRenderer"), 1u); // the label only
}

TEST_F(GuiTest, AHugeFormattedResultIsCutInsteadOfExhaustingMemory) {
    // A result longer than the limit is cut there and still drawn.
    std::string many(GUI_FORMATTED_TEXT_LIMIT + 100, 'l');
    TextSize size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "%s", many.c_str());
    EXPECT_GT(size.height, 0);
    EXPECT_EQ(count("drawIndexedInRenderer"), 1u);
    // A field wider than any text (from a hostile language file) draws nothing.
    size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "%10000000d", 1);
    EXPECT_EQ(size.height, 0);
    size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "%.9999999f", 1.0);
    EXPECT_EQ(size.height, 0);
    EXPECT_EQ(count("drawIndexedInRenderer"), 1u);
    size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "He%s", "llo");
    EXPECT_GT(size.width, 0);
}

TEST_F(GuiTest, ATextWhoseGlyphsSpanTwoPagesDrawsBothPages) {
    releaseFontAtlas(&font);
    startRecording(128);
    std::string all;
    for (char c = 33; c < 127; ++c) all += c;
    // Large glyphs on a backend whose largest texture is 128: several pages.
    ASSERT_TRUE(makeAtlas(&font, 40, all.c_str()));
    ASSERT_GE(font.pageCount, 2u);
    GlyphInfo first, last;
    ASSERT_TRUE(lookUpGlyph(&font, font.codes[0], &first));
    ASSERT_TRUE(lookUpGlyph(&font, font.codes[font.glyphCount - 1], &last));
    ASSERT_NE(first.page, last.page);
    char text[3] = {static_cast<char>(font.codes[0]), static_cast<char>(font.codes[font.glyphCount - 1]), 0};
    recordedCalls().clear();
    drawGuiTextLiteral(&gui, &font, 0, 0, 600, 100, kWhite, TEXT_ALIGN_CUT, text);
    EXPECT_EQ(count("drawIndexedInRenderer"), 2u);
    std::vector<int32_t> textures;
    for (const RecordedCall& c : recordedCalls())
        if (c.name == "bindTextureInRenderer") textures.push_back(integer(c, 0));
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_EQ(textures[0], static_cast<int32_t>(font.pages[first.page].texture));
    EXPECT_EQ(textures[1], static_cast<int32_t>(font.pages[last.page].texture));
}

} // namespace

namespace {

TEST(GuiElementTest, AnElementIsPlacedInItsParentAndDrawnWithTheImageShader) {
    RecordingRenderer recorder;
    installRecordingRenderer(&recorder);
    gRendererState = RendererState{};
    gRendererState.width = 1280;
    gRendererState.height = 720;
    GuiContext gui = {};
    initGui(&gui, nullptr, nullptr);
    GpuMesh mesh = {7, 8};
    int32_t texture = 5;
    GuiElement element = {&mesh, &texture, vec3(1, 2, 3), identityQuaternion(), vec3(2, 2, 2), vec3(0.5f, 0, 0)};
    Mat4 alone = guiElementMatrix(&element, nullptr);
    EXPECT_FLOAT_EQ(alone.m[12], 0.0f); // 1 - 2 x 0.5
    EXPECT_FLOAT_EQ(alone.m[13], 2.0f);
    EXPECT_FLOAT_EQ(alone.m[0], 2.0f);
    Mat4 parent = translationMatrix(vec3(10, 0, 0));
    Mat4 placed = guiElementMatrix(&element, &parent);
    EXPECT_FLOAT_EQ(placed.m[12], 10.0f);
    // A quarter turn about z: the scaled x axis points along y.
    element.rotation = quaternionFromAxisAngle(vec3(0, 0, 1), 90.0f);
    Mat4 turned = guiElementMatrix(&element, nullptr);
    EXPECT_NEAR(turned.m[1], 2.0f, 1e-5f);
    EXPECT_NEAR(turned.m[13], 2.0f - 1.0f, 1e-5f);

    recorder.calls.clear();
    drawGuiElement(&gui, &element, &parent);
    const RecordedCall* draw = findCall(&recorder, "drawIndexedInRenderer");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->shader, guiBuiltInShader(GUI_SHADER_IMAGE));
    EXPECT_EQ(draw->integers[0], 8u);
    EXPECT_EQ(draw->integers[1], 7u);
    const RecordedCall* bind = findCall(&recorder, "bindTextureInRenderer");
    ASSERT_NE(bind, nullptr);
    EXPECT_EQ(bind->integers[0], 5u);
    const RecordedCall* mv = findUniform(&recorder, "mvMat");
    ASSERT_NE(mv, nullptr);
    EXPECT_NEAR(mv->values[12], 10.0f + 1.0f, 1e-5f); // parent x, then the turned pivot offset
    EXPECT_EQ(guiBuiltInShader(GUI_SHADER_IMAGE)->blendMode, 1u);
    releaseGui(&gui);
    removeRecordingRenderer();
    gRendererState = RendererState{};
}

} // namespace
