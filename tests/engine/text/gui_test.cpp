#include "engine/text/gui.h"
#include "engine/text/gui_widget.h"
#include "app/program_state.h"
#include "gui_recorder.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(makeFontModuleDirectory("gui").empty());
        bindGuiRecorder(1280, 720);
        initGui(&gui, nullptr, nullptr);
        ASSERT_TRUE(makeAtlas(&font, 20, "Helo"));
        recordedCalls().clear();
    }
    void TearDown() override {
        releaseGui(&gui);
        releaseFontAtlas(&font);
        unbindTextureRecorder();
        gRendererState = RendererState{};
    }
    // One frame of input for the widget; true when it clicked.
    bool frame(GuiWidget* widget, int32_t x, int32_t y, bool down) {
        setGuiInput(&gui, x, y, down);
        return guiWidgetInput(&gui, widget);
    }
    GuiContext gui = {};
    FontAtlas font = {};
};

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
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 1u);
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
    EXPECT_FLOAT_EQ(pos->floats[0], 2.0f * 100 / 1280 - 1);
    EXPECT_FLOAT_EQ(pos->floats[1], 2.0f * 200 / 720 - 1);
    EXPECT_FLOAT_EQ(lastUniform("scale")->floats[0], 2.0f / 1280 * 0.9999f);
    // Scissored to the box while drawing, then the full scissor again.
    bool clipped = false;
    for (size_t i = 0; i < drawAt; ++i)
        if (calls[i].name == "setScissorOnRenderer")
            clipped = calls[i].values[0] == 100 && calls[i].values[1] == 200 && calls[i].values[2] == 400 &&
                      calls[i].values[3] == 260;
    EXPECT_TRUE(clipped);
    EXPECT_EQ(gRendererState.scissorRight, 1280);
    EXPECT_EQ(gRendererState.scissorTop, 720);
    // The texture bound is the glyphs' page.
    bool bound = false;
    for (size_t i = 0; i < drawAt; ++i)
        if (calls[i].name == "bindTextureInRenderer")
            bound = calls[i].values[0] == static_cast<int32_t>(font.pages[0].texture) && calls[i].values[1] == 0;
    EXPECT_TRUE(bound);
}

TEST_F(GuiTest, TextOutsideTheViewportDrawsNothingAndReportsNoSize) {
    TextSize size = drawGuiText(&gui, &font, 1300, 100, 200, 50, kWhite, TEXT_ALIGN_WRAP, "Hello");
    EXPECT_EQ(size.width, 0);
    EXPECT_EQ(size.height, 0);
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 0u);
    // Inside a panel the text is clipped to the panel too.
    beginGuiPanel(&gui, 100, 100, 200, 100, nullptr);
    size = drawGuiText(&gui, &font, 250, 0, 100, 50, kWhite, TEXT_ALIGN_WRAP, "Hello");
    EXPECT_EQ(size.width, 0);
    size = drawGuiText(&gui, &font, 10, 10, 100, 50, kWhite, TEXT_ALIGN_WRAP, "Hello");
    EXPECT_GT(size.width, 0);
    const RecordedCall* pos = lastUniform("pos");
    EXPECT_FLOAT_EQ(pos->floats[0], 2.0f * 110 / 1280 - 1); // offset by the panel's corner
    endGuiPanel(&gui);
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 1u);
}

TEST_F(GuiTest, TheMeshRingSkipsTextsItHasNoRoomForAndGrowsForTheNextFrame) {
    for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {
        beginGuiFrame(&gui);
        recordedCalls().clear();
        for (int i = 0; i < 20; ++i) drawGuiText(&gui, &font, 0, 0, 400, 100, kWhite, TEXT_ALIGN_CUT, "Hello");
        EXPECT_EQ(gui.ringUsed, 20u);
        EXPECT_EQ(countCalls("drawIndexedInRenderer"), frameNumber == 0 ? 16u : 20u);
    }
    EXPECT_EQ(gui.ringSize, 21u);
    // Slots used before are updated, not created again.
    beginGuiFrame(&gui);
    recordedCalls().clear();
    drawGuiText(&gui, &font, 0, 0, 400, 100, kWhite, TEXT_ALIGN_CUT, "Hello");
    EXPECT_EQ(countCalls("createVertexInputBufferInRenderer"), 0u);
    EXPECT_EQ(countCalls("updateVertexInputBufferInRenderer"), 1u);
    EXPECT_EQ(countCalls("updateIndexBufferInRenderer"), 1u);
}

TEST_F(GuiTest, AFilledRectangleUsesTheColourShaderAndTheUnitQuad) {
    ShaderRecord game = {};
    gRenderer.bindShaderInRenderer(&gRendererState, &game);
    recordedCalls().clear();
    const float grey[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    drawGuiRectangle(&gui, 40, 130, 620, 100, grey);
    ASSERT_EQ(countCalls("drawIndexedInRenderer"), 1u);
    const RecordedCall* color = lastUniform("color");
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->shader, guiBuiltInShader(GUI_SHADER_COLOR));
    EXPECT_FLOAT_EQ(color->floats[3], 0.5f);
    const RecordedCall* mv = lastUniform("mvMat");
    EXPECT_FLOAT_EQ(mv->floats[0], 620.0f);
    EXPECT_FLOAT_EQ(mv->floats[5], 100.0f);
    EXPECT_FLOAT_EQ(mv->floats[12], 40.0f);
    EXPECT_FLOAT_EQ(mv->floats[13], 130.0f);
    const RecordedCall* proj = lastUniform("projMat");
    EXPECT_FLOAT_EQ(proj->floats[0], 2.0f / 1280);
    EXPECT_FLOAT_EQ(proj->floats[12], -1.0f);
    for (const RecordedCall& c : recordedCalls())
        if (c.name == "drawIndexedInRenderer") {
            EXPECT_EQ(c.values[0], 901);
            EXPECT_EQ(c.values[1], 900);
        }
    // The shader bound before is bound again.
    EXPECT_EQ(gRendererState.currentShader, &game);
}

TEST_F(GuiTest, AWidgetDrawsItsBackgroundBordersAndLabel) {
    GuiWidget button = makeMenuButton(&font);
    drawGuiWidget(&gui, &button, kMenuButtonStyles, "%s", "Hello");
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 6u); // inside, four borders, label
    recordedCalls().clear();
    GuiStyle invisible[WIDGET_STATE_COUNT] = {};
    for (GuiStyle& style : invisible) style.text[3] = 1.0f;
    drawGuiWidget(&gui, &button, invisible, "Hello");
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 1u); // the label only
}

TEST_F(GuiTest, AHugeFormattedResultIsCutInsteadOfExhaustingMemory) {
    // A result longer than the limit is cut there and still drawn.
    std::string many(GUI_FORMATTED_TEXT_LIMIT + 100, 'l');
    TextSize size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "%s", many.c_str());
    EXPECT_GT(size.height, 0);
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 1u);
    // A field wider than any text (from a hostile language file) draws nothing.
    size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "%10000000d", 1);
    EXPECT_EQ(size.height, 0);
    size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "%.9999999f", 1.0);
    EXPECT_EQ(size.height, 0);
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 1u);
    size = drawGuiText(&gui, &font, 0, 0, 1280, 720, kWhite, TEXT_ALIGN_CUT, "He%s", "llo");
    EXPECT_GT(size.width, 0);
}

TEST_F(GuiTest, ATextWhoseGlyphsSpanTwoPagesDrawsBothPages) {
    releaseFontAtlas(&font);
    bindGuiRecorder(1280, 720, 128);
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
    EXPECT_EQ(countCalls("drawIndexedInRenderer"), 2u);
    std::vector<int32_t> textures;
    for (const RecordedCall& c : recordedCalls())
        if (c.name == "bindTextureInRenderer") textures.push_back(c.values[0]);
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_EQ(textures[0], static_cast<int32_t>(font.pages[first.page].texture));
    EXPECT_EQ(textures[1], static_cast<int32_t>(font.pages[last.page].texture));
}

} // namespace
