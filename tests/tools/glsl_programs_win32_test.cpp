// Every GLSL program of the game's table loads, compiles and links through the OpenGL
// backend's entry points with the game's vertex formats and uniforms, every uniform it
// declares is one the linked program uses, and a few of them draw the pixels they
// should: the unlit program its texture times the vertex colour, the bright pass only
// what is above its threshold, the blur a flat picture unchanged, the composite the
// sum of its two inputs (replacing a monitor's target, adding onto the room's).
#include "app/backend_library.h"
#include "engine/program/program_state.h"
#include "engine/math/matrix.h"
#include "game/shader_programs.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <GL/gl.h>

#include <stdio.h>
#include <string.h>

#include <deque>
#include <string>
#include <vector>

#ifndef QUARLO_SHADER_SOURCES
#error "QUARLO_SHADER_SOURCES names the shader source folder"
#endif

namespace {

intptr_t quietProcedure(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return DefWindowProcW((HWND)window, message, (WPARAM)wParam, (LPARAM)lParam);
}

std::string readSource(const char* program) {
    std::string path = std::string("Z:") + QUARLO_SHADER_SOURCES + "/" + program + ".glsl";
    FILE* f = fopen(path.c_str(), "rb");
    std::string text;
    if (!f) return text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) text.append(chunk, n);
    fclose(f);
    return text;
}

// The declared uniforms the program bound on this thread's context does not have
// (a misspelt or unused name: the linker drops what the shader never reads), one per
// line; empty when all are there. The backend keeps its locations to itself, so this
// asks GL for the current program and looks the names up again.
std::string missingUniforms(const ShaderProgramSpec* program) {
    typedef GLint(APIENTRY * GetUniformLocationFn)(GLuint, const char*);
    GetUniformLocationFn getUniformLocation = (GetUniformLocationFn)(void*)wglGetProcAddress("glGetUniformLocation");
    if (!getUniformLocation) return "glGetUniformLocation is not available\n";
    const GLenum currentProgram = 0x8B8D; // GL_CURRENT_PROGRAM
    GLint linked = 0;
    glGetIntegerv(currentProgram, &linked);
    if (linked == 0) return "no program is bound\n";
    std::string missing;
    for (uint32_t i = 0; i < program->uniformCount; ++i)
        if (getUniformLocation((GLuint)linked, program->uniforms[i].name) == -1)
            missing += std::string(program->uniforms[i].name) + "\n";
    return missing;
}

class GlslPrograms : public ::testing::Test {
protected:
    static BackendLibrary library;
    static readPixelsInRendererFn readPixels;
    static bool started;
    // The backend keeps a pointer to the bound record and reads it at the next bind,
    // so records live as long as the suite.
    static std::deque<ShaderRecord> records;

    static ShaderRecord* newRecord() {
        records.push_back(ShaderRecord{-1, 0, nullptr, 0, nullptr, 0, 0});
        return &records.back();
    }

    static void SetUpTestSuite() {
        ASSERT_TRUE(loadBackendLibrary(&library, BACKEND_OPENGL_LIBRARY));
        attachBackend(&library, &gRenderer, &gRendererState, nullptr, quietProcedure);
        readPixels = (readPixelsInRendererFn)(void*)GetProcAddress((HMODULE)library.module, RENDERER_READ_PIXELS_NAME);
        ASSERT_TRUE(hasCalledEntryPoints(&gRenderer));
        ASSERT_NE(readPixels, nullptr);
        resetWindowParameters();
        WindowParameters parameters = gWindowParameters;
        started = gRenderer.initRenderer(&gRendererState, &parameters, "GLSL programs");
        ASSERT_TRUE(started);
    }

    static void TearDownTestSuite() {
        if (started) gRenderer.cleanupRenderer(&gRendererState);
        unloadBackendLibrary(&library);
    }

    // Loads, declares and links program `index` of the game's table as the game does,
    // with its cull and blend state; false when it does not link. A source given here
    // replaces the file's.
    bool build(uint32_t index, ShaderRecord** out, const std::string* replacement = nullptr) {
        ShaderRecord* record = *out = newRecord();
        if (index >= SHADER_PROGRAM_COUNT) return false;
        const ShaderProgramSpec* program = &kShaderProgramSpecs[index];
        record->cullMode = program->cullMode;
        record->blendMode = program->blendMode;
        std::string source = replacement ? *replacement : readSource(program->path);
        if (source.empty()) return false;
        UniformDeclaration uniforms[SHADER_PROGRAM_MAX_UNIFORMS];
        for (uint32_t i = 0; i < program->uniformCount; ++i)
            uniforms[i] = UniformDeclaration{program->uniforms[i].name, 0, program->uniforms[i].components};
        gRenderer.loadShaderFromSourceInRenderer(&gRendererState, record, source.c_str());
        gRenderer.setShaderInputInRenderer(&gRendererState, record, program->vertexFormat, uniforms,
                                           program->uniformCount);
        if (program->postProcess) gRenderer.setShaderOutputInRenderer(&gRendererState, record, 1);
        return gRenderer.compileShaderInRenderer(&gRendererState, record);
    }

    // A texture of one colour, 4 x 4 RGBA8.
    uint32_t flatTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
        uint8_t pixels[64];
        for (int i = 0; i < 16; ++i) pixels[4 * i] = r, pixels[4 * i + 1] = g, pixels[4 * i + 2] = b, pixels[4 * i + 3] = a;
        TextureDescription d = {4, 4, PIXEL_FORMAT_RGBA8, WRAP_CLAMP_TO_EDGE, ATTACHMENT_COLOR, 1, 0, 0};
        return gRenderer.uploadTextureInRenderer(&gRendererState, pixels, 0, &d, 1, RENDERER_INVALID_ID);
    }

    // The unit quad in vertex format 0 (white, facing +z), as the game builds it.
    void unitQuad(uint32_t* vertexInput, uint32_t* indexBuffer, float r, float g, float b) {
        float v[44];
        const float corners[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
        for (int i = 0; i < 4; ++i) {
            float* p = v + 11 * i;
            p[0] = corners[i][0], p[1] = corners[i][1], p[2] = 0;
            p[3] = corners[i][0], p[4] = corners[i][1];
            p[5] = r, p[6] = g, p[7] = b;
            p[8] = 0, p[9] = 0, p[10] = 1;
        }
        const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
        *vertexInput = gRenderer.createVertexInputBufferInRenderer(&gRendererState, 4, v, 0);
        *indexBuffer = gRenderer.createIndexBufferInRendererWithData(&gRendererState, 6, indices);
    }

    // Draws the quad over the whole window with the given program and reads the
    // window's centre pixel.
    void drawFullWindow(ShaderRecord* program, uint32_t vertexInput, uint32_t indexBuffer, uint8_t* centre,
                        uint32_t texture0, uint32_t texture1 = RENDERER_INVALID_ID, const float* clearColour = nullptr) {
        gRenderer.beginFrameInRenderer(&gRendererState);
        const float black[4] = {0, 0, 0, 1};
        gRenderer.clearColorBufferOnRenderer(&gRendererState, clearColour ? clearColour : black);
        gRenderer.enableDepthTestOnRenderer(&gRendererState, false);
        gRenderer.bindShaderInRenderer(&gRendererState, program);
        // Units above 0 are set with the program bound, as the game does.
        if (texture1 != RENDERER_INVALID_ID) gRenderer.bindTextureInRenderer(&gRendererState, texture1, 1);
        gRenderer.bindTextureInRenderer(&gRendererState, texture0, 0);
        // Orthographic 0..1 on both axes; the quad spans it.
        Mat4 projection = identityMatrix4(), identity = identityMatrix4();
        orthographic(&projection, 0, 1, 0, 1, -2, 10);
        gRenderer.sendMatrix4x4ToShaderInRenderer(&gRendererState, program, "projMat", projection.m);
        gRenderer.sendMatrix4x4ToShaderInRenderer(&gRendererState, program, "mvMat", identity.m);
        gRenderer.sendVector2DToShaderInRenderer(&gRendererState, program, "screenSize",
                                                 RendererVector2{(float)gRendererState.width, (float)gRendererState.height});
        gRenderer.drawIndexedInRenderer(&gRendererState, program, indexBuffer, vertexInput);
        std::vector<uint8_t> pixel(4);
        ASSERT_TRUE(readPixels(&gRendererState, (int32_t)gRendererState.width / 2, (int32_t)gRendererState.height / 2,
                               1, 1, pixel.data()));
        memcpy(centre, pixel.data(), 4);
        gRenderer.enableDepthTestOnRenderer(&gRendererState, true);
        gRenderer.endFrameInRenderer(&gRendererState);
        gRenderer.swapBuffersOnRenderer(&gRendererState);
    }
};

BackendLibrary GlslPrograms::library;
readPixelsInRendererFn GlslPrograms::readPixels;
bool GlslPrograms::started;
std::deque<ShaderRecord> GlslPrograms::records;

TEST_F(GlslPrograms, EveryProgramLinksAndUsesEveryUniformItDeclares) {
    for (uint32_t i = 0; i < SHADER_PROGRAM_COUNT; ++i) {
        const char* path = kShaderProgramSpecs[i].path;
        ShaderRecord* record;
        ASSERT_TRUE(build(i, &record)) << path;
        gRenderer.bindShaderInRenderer(&gRendererState, record);
        EXPECT_EQ(missingUniforms(&kShaderProgramSpecs[i]), "") << path;
    }
}

TEST_F(GlslPrograms, AMisspeltUniformLinksButIsReportedMissing) {
    std::string source = readSource(kShaderProgramSpecs[PROGRAM_BASIC_DIRECTIONAL_LIGHT].path);
    size_t at = source.find("uniform float highlight;");
    ASSERT_NE(at, std::string::npos);
    // Spelt the same wrong way everywhere in the source, it still links.
    for (size_t use = source.find("highlight"); use != std::string::npos; use = source.find("highlight", use))
        source.replace(use, 9, "highlite");
    ShaderRecord* record;
    ASSERT_TRUE(build(PROGRAM_BASIC_DIRECTIONAL_LIGHT, &record, &source));
    gRenderer.bindShaderInRenderer(&gRendererState, record);
    EXPECT_EQ(missingUniforms(&kShaderProgramSpecs[PROGRAM_BASIC_DIRECTIONAL_LIGHT]), "highlight\n");
}

TEST_F(GlslPrograms, BrokenSourceDoesNotLink) {
    ShaderRecord* record = newRecord();
    gRenderer.loadShaderFromSourceInRenderer(&gRendererState, record,
                                             "#version 130\n#ifdef VERTEX_SHADER_SOURCE\nvoid main() { gl_Position = "
                                             "undefinedThing; }\n#endif\n#ifdef FRAGMENT_SHADER_SOURCE\nout vec4 "
                                             "outColor;\nvoid main() { outColor = vec4(1.0); }\n#endif\n");
    UniformDeclaration none[1] = {{"mvMat", 0, 16}};
    gRenderer.setShaderInputInRenderer(&gRendererState, record, 0, none, 1);
    EXPECT_FALSE(gRenderer.compileShaderInRenderer(&gRendererState, record));
}

TEST_F(GlslPrograms, UnlitProgramShowsTextureTimesVertexColour) {
    ShaderRecord* program;
    ASSERT_TRUE(build(PROGRAM_BASIC_FIXED, &program));
    uint32_t input, indices;
    unitQuad(&input, &indices, 1.0f, 0.5f, 0.0f);
    uint8_t centre[4];
    drawFullWindow(program, input, indices, centre, flatTexture(200, 200, 100));
    EXPECT_NEAR(centre[0], 200, 3);
    EXPECT_NEAR(centre[1], 100, 3);
    EXPECT_NEAR(centre[2], 0, 3);
}

TEST_F(GlslPrograms, ColourAndTextProgramsDrawTheirColourAndCoverage) {
    uint32_t input, indices;
    unitQuad(&input, &indices, 1, 1, 1);
    ShaderRecord *colour, *text;
    ASSERT_TRUE(build(PROGRAM_COLOR, &colour));
    ASSERT_TRUE(build(PROGRAM_TEXT, &text));
    uint8_t centre[4];
    const float rgba[4] = {0.2f, 0.6f, 0.4f, 1.0f};
    gRenderer.bindShaderInRenderer(&gRendererState, colour);
    gRenderer.sendVector4DToShaderInRenderer(&gRendererState, colour, "color", rgba);
    drawFullWindow(colour, input, indices, centre, flatTexture(0, 0, 0));
    EXPECT_NEAR(centre[0], 51, 3);
    EXPECT_NEAR(centre[1], 153, 3);
    EXPECT_NEAR(centre[2], 102, 3);
    // Text: window-space quads in vertex format 8 (2-D position, texture coordinate,
    // four-component colour); the atlas's red channel is the coverage. Over black,
    // a white glyph of coverage one half blends to grey.
    float quad[32];
    const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        float* v = quad + 8 * i;
        v[0] = corners[i][0], v[1] = corners[i][1], v[2] = 0.5f, v[3] = 0.5f;
        v[4] = 1, v[5] = 1, v[6] = 1, v[7] = 1;
    }
    const uint32_t order[6] = {0, 2, 1, 1, 2, 3};
    uint32_t textInput = gRenderer.createVertexInputBufferInRenderer(&gRendererState, 4, quad, 8);
    uint32_t textIndices = gRenderer.createIndexBufferInRendererWithData(&gRendererState, 6, order);
    uint8_t coverage[16];
    memset(coverage, 128, sizeof(coverage));
    TextureDescription d = {4, 4, PIXEL_FORMAT_R8, WRAP_CLAMP_TO_EDGE, ATTACHMENT_COLOR, 1, 0, 0};
    uint32_t atlas = gRenderer.uploadTextureInRenderer(&gRendererState, coverage, 0, &d, 1, RENDERER_INVALID_ID);
    gRenderer.beginFrameInRenderer(&gRendererState);
    const float black[4] = {0, 0, 0, 1};
    gRenderer.clearColorBufferOnRenderer(&gRendererState, black);
    gRenderer.enableDepthTestOnRenderer(&gRendererState, false);
    gRenderer.bindShaderInRenderer(&gRendererState, text);
    const float position[3] = {0, 0, 0}, scale[3] = {1, 1, 0};
    gRenderer.sendVector3DToShaderInRenderer(&gRendererState, text, "pos", position);
    gRenderer.sendVector3DToShaderInRenderer(&gRendererState, text, "scale", scale);
    gRenderer.bindTextureInRenderer(&gRendererState, atlas, 0);
    gRenderer.drawIndexedInRenderer(&gRendererState, text, textIndices, textInput);
    ASSERT_TRUE(readPixels(&gRendererState, (int32_t)gRendererState.width / 2, (int32_t)gRendererState.height / 2, 1,
                           1, centre));
    gRenderer.enableDepthTestOnRenderer(&gRendererState, true);
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.swapBuffersOnRenderer(&gRendererState);
    EXPECT_NEAR(centre[0], 128, 4);
    EXPECT_NEAR(centre[1], 128, 4);
}

TEST_F(GlslPrograms, PostProcessingPassesKeepFlatPicturesAndCutDarkOnes) {
    uint32_t input, indices;
    unitQuad(&input, &indices, 1, 1, 1);
    ShaderRecord *blur, *bright, *composite;
    ASSERT_TRUE(build(PROGRAM_HORIZONTAL_BLUR, &blur));
    ASSERT_TRUE(build(PROGRAM_ONLY_BRIGHT, &bright));
    ASSERT_TRUE(build(PROGRAM_BLOOM_COMPOSITE, &composite));
    uint8_t centre[4];
    drawFullWindow(blur, input, indices, centre, flatTexture(90, 160, 220));
    EXPECT_NEAR(centre[0], 90, 3);
    EXPECT_NEAR(centre[1], 160, 3);
    EXPECT_NEAR(centre[2], 220, 3);
    // Below the threshold everything goes; white keeps a tenth of itself, unless it is a
    // monitor panel (alpha 1), which gives no bloom.
    drawFullWindow(bright, input, indices, centre, flatTexture(200, 200, 200, 0));
    EXPECT_LE(centre[0], 2);
    drawFullWindow(bright, input, indices, centre, flatTexture(255, 255, 255, 0));
    EXPECT_NEAR(centre[0], 26, 4);
    drawFullWindow(bright, input, indices, centre, flatTexture(255, 255, 255, 255));
    EXPECT_LE(centre[0], 2);
    // The composite adds its second input (texture unit 1), and a monitor's picture
    // replaces what its target held.
    const float grey[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    drawFullWindow(composite, input, indices, centre, flatTexture(100, 20, 0), flatTexture(50, 30, 200), grey);
    EXPECT_NEAR(centre[0], 150, 3);
    EXPECT_NEAR(centre[1], 50, 3);
    EXPECT_NEAR(centre[2], 200, 3);
}

TEST_F(GlslPrograms, TheRoomsPictureIsTheSceneWithItsBloomAddedExceptOnThePanels) {
    uint32_t input, indices;
    unitQuad(&input, &indices, 1, 1, 1);
    ShaderRecord* final;
    ASSERT_TRUE(build(PROGRAM_FINAL_BLUR, &final));
    // The smoothing keeps a flat picture; the bloom (unit 1) adds onto the room (alpha 0)
    // and not onto a panel (alpha 1).
    uint8_t centre[4];
    drawFullWindow(final, input, indices, centre, flatTexture(100, 20, 0, 0), flatTexture(50, 30, 200));
    EXPECT_NEAR(centre[0], 150, 3);
    EXPECT_NEAR(centre[1], 50, 3);
    EXPECT_NEAR(centre[2], 200, 3);
    drawFullWindow(final, input, indices, centre, flatTexture(100, 20, 0, 255), flatTexture(50, 30, 200));
    EXPECT_NEAR(centre[0], 100, 3);
    EXPECT_NEAR(centre[1], 20, 3);
    EXPECT_NEAR(centre[2], 0, 3);
}

} // namespace
