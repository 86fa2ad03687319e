// What only the Direct3D 12 backend has: its start-up log, the constant pool that
// grows from one frame to the next, the texture table and its samplers, the mip
// levels it makes itself, and the pipeline-state cache, read from its private record
// and its counters. The rest of the suite runs on both backends.
#include "backends/d3d12/d3d12_backend.h"
#include "tests/backends/backend_harness.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const float kRed[4] = {1, 0, 0, 1};
const float kGreen[4] = {0, 1, 0, 1};

D3D12Backend* backend() { return static_cast<D3D12Backend*>(state()->internal); }

std::string readLog() {
    std::string text;
    FILE* file = fopen("log.txt", "r"); // text mode: the lines end in CR LF on Windows
    if (!file) return text;
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, read);
    fclose(file);
    return text;
}

using Direct3D12 = BackendTest;

TEST_F(Direct3D12, TheStartLogEndsWithTheFinishedLine) {
    const std::string log = readLog();
    ASSERT_FALSE(log.empty()) << "no log.txt in the current directory";
    const std::string first = "Start initializing D3D12 Render Backend...\n";
    EXPECT_EQ(log.compare(0, first.size(), first), 0) << log;
    const std::string last = "Finished initializing D3D12 Render Backend\n";
    ASSERT_GE(log.size(), last.size());
    EXPECT_EQ(log.substr(log.size() - last.size()), last) << log;
    // The one line about mip levels says where they are made.
    const bool cpuLine = log.find("Mip levels are generated on the CPU") != std::string::npos;
    EXPECT_EQ(cpuLine, backend()->mipPipeline == nullptr) << log;
    EXPECT_EQ(log.find(" Failed"), std::string::npos) << log;
}

// A constant block of a size no draw has used before finds no block in the pool: the
// draw still draws, from a block made for the rest of the frame, and the next frame
// the pool has blocks of that size.
TEST_F(Direct3D12, ADrawOfANewConstantSizeDrawsAtOnceAndThePoolGrowsForTheNextFrame) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    // The padding puts the block at 10240 bytes, a size no other test draws with.
    const UniformDeclaration uniforms[4] = {
        kPlacedUniforms[0], kPlacedUniforms[1], kPlacedUniforms[2], {"padding", 64 * 40 - 4, 4}};
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, uniforms, 4));
    FrameBufferRecord* target = newTarget(8, 8);
    const D3D12Statistics before = backend()->statistics;
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().enableDepthTestOnRenderer(state(), false);
    drawPlaced(shader, -1, -1, 0, 1, 0, kRed);
    drawPlaced(shader, 0, -1, 1, 1, 0, kGreen);
    EXPECT_EQ(backend()->statistics.spilledBlocks, before.spilledBlocks + 2);
    EXPECT_EQ(backend()->statistics.drawsSkipped, before.drawsSkipped);
    EXPECT_RGB(readPixel(2, 4), 255, 0, 0);
    EXPECT_RGB(readPixel(6, 4), 0, 255, 0);
    api().unbindFrameBufferInRenderer(state(), target);
    api().endFrameInRenderer(state());
    api().swapBuffersOnRenderer(state());

    api().beginFrameInRenderer(state());
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().enableDepthTestOnRenderer(state(), false);
    for (int draw = 0; draw < 4; ++draw) drawPlaced(shader, -1, -1, 1, 1, 0, draw % 2 ? kRed : kGreen);
    EXPECT_EQ(backend()->statistics.spilledBlocks, before.spilledBlocks + 2) << "the pool had not grown";
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

// Two resizes between frames: the swap chain takes the last size at the next frame
// start (the callback's count is checked by the Lifecycle tests on both backends).
TEST_F(Direct3D12, TheBackBuffersTakeTheLastSizeAtTheNextFrame) {
    const uint32_t width = state()->width, height = state()->height;
    api().endFrameInRenderer(state());
    api().swapBuffersOnRenderer(state());
    api().resizeBackBuffersOnRenderer(state(), 640, 480);
    api().resizeBackBuffersOnRenderer(state(), 800, 600);
    const uint32_t calls = gResizeLog.calls;
    api().beginFrameInRenderer(state());
    EXPECT_EQ(gResizeLog.calls, calls + 1);
    EXPECT_EQ(backend()->swapChainWidth, 800u);
    EXPECT_EQ(backend()->swapChainHeight, 600u);
    api().clearColorBufferOnRenderer(state(), kGreen);
    EXPECT_RGB(readPixel(799, 599), 0, 255, 0);
    uint8_t pixel[4];
    EXPECT_FALSE(gBackend.readPixels(state(), 800, 0, 1, 1, pixel)) << "a pixel past the back buffer";
    api().endFrameInRenderer(state());
    api().swapBuffersOnRenderer(state());
    api().resizeBackBuffersOnRenderer(state(), width, height);
    api().beginFrameInRenderer(state());
    EXPECT_EQ(backend()->swapChainWidth, width);
}

TEST_F(Direct3D12, TextureIdsComeBackLastInFirstOut) {
    const uint32_t a = api().getTextureIDInRenderer(state());
    const uint32_t b = api().getTextureIDInRenderer(state());
    ASSERT_NE(a, RENDERER_INVALID_ID);
    EXPECT_NE(a, b);
    api().pushFreeTextureDescriptorInRenderer(state(), a);
    EXPECT_EQ(api().getTextureIDInRenderer(state()), a);
    api().pushFreeTextureDescriptorInRenderer(state(), b);
    api().pushFreeTextureDescriptorInRenderer(state(), a);
    api().pushFreeTextureDescriptorInRenderer(state(), a); // a second release changes nothing
    EXPECT_EQ(api().getTextureIDInRenderer(state()), a);
    EXPECT_EQ(api().getTextureIDInRenderer(state()), b);
    EXPECT_NE(api().getTextureIDInRenderer(state()), a);
}

TEST_F(Direct3D12, TheSettersPickTheSamplerOfTheChangedDescription) {
    uint32_t texture = RENDERER_INVALID_ID;
    api().setTextureSmoothInRenderer(state(), &texture, false);
    ASSERT_NE(texture, RENDERER_INVALID_ID);
    EXPECT_EQ(backend()->textures[texture].link, 4u); // point, mirror
    api().setTextureWrapModeInRenderer(state(), &texture, WRAP_CLAMP_TO_EDGE);
    EXPECT_EQ(backend()->textures[texture].link, 6u); // point, clamp
    api().setTextureSmoothInRenderer(state(), &texture, true);
    EXPECT_EQ(backend()->textures[texture].link, 2u); // anisotropic, clamp
    api().setTextureWrapModeInRenderer(state(), &texture, 17);
    EXPECT_EQ(backend()->textures[texture].link, 2u); // not a wrap mode: unchanged
    api().setTextureWrapModeInRenderer(state(), &texture, WRAP_CLAMP_TO_BORDER);
    EXPECT_EQ(backend()->textures[texture].link, 3u);
}

// The box filter written independently of the backend: each texel the rounded
// average of the four it covers.
std::vector<uint8_t> halved(const std::vector<uint8_t>& above, uint32_t size) {
    const uint32_t half = size / 2;
    std::vector<uint8_t> level(static_cast<size_t>(half) * half * 4);
    for (uint32_t y = 0; y < half; ++y)
        for (uint32_t x = 0; x < half; ++x)
            for (uint32_t c = 0; c < 4; ++c) {
                uint32_t sum = 0;
                for (uint32_t dy = 0; dy < 2; ++dy)
                    for (uint32_t dx = 0; dx < 2; ++dx) sum += above[((2 * y + dy) * size + 2 * x + dx) * 4 + c];
                level[(y * half + x) * 4 + c] = static_cast<uint8_t>((sum + 2) / 4);
            }
    return level;
}

TEST_F(Direct3D12, OneLevelOf256TexelsGetsAllNineLevelsOfABoxFilter) {
    REQUIRE_TEST_SHADER(TEST_SHADER_LEVEL_FETCH);
    ShaderRecord* fetch = newShader();
    ASSERT_TRUE(buildShader(fetch, testShaderSource(TEST_SHADER_LEVEL_FETCH), 0, kLevelFetchUniforms, 3));
    std::vector<uint8_t> level(256 * 256 * 4);
    for (uint32_t y = 0; y < 256; ++y)
        for (uint32_t x = 0; x < 256; ++x) {
            uint8_t* texel = &level[(y * 256 + x) * 4];
            texel[0] = static_cast<uint8_t>(x * 7 + y * 3);
            texel[1] = static_cast<uint8_t>((x ^ y) * 5);
            texel[2] = static_cast<uint8_t>(y * 11 + (x >> 3));
            texel[3] = static_cast<uint8_t>(255 - x);
        }
    TextureDescription description = colorDescription(256, 256);
    description.renderTarget = 0;
    description.mipLevels = 9;
    const uint64_t cpuLevels = backend()->statistics.cpuMipLevels;
    const uint64_t gpuJobs = backend()->statistics.gpuMipJobs;
    const uint32_t texture =
        api().uploadTextureInRenderer(state(), level.data(), level.size(), &description, 1, RENDERER_INVALID_ID);
    ASSERT_NE(texture, RENDERER_INVALID_ID);
    EXPECT_EQ(backend()->textures[texture].view.Texture2D.MipLevels, 9u);
    EXPECT_TRUE(backend()->statistics.cpuMipLevels == cpuLevels + 8 || backend()->statistics.gpuMipJobs == gpuJobs + 1);

    FrameBufferRecord* target = newTarget(256, 256);
    std::vector<uint8_t> read;
    for (uint32_t l = 0, size = 256; l < 9; ++l, size /= 2) {
        if (l > 0) level = halved(level, size * 2);
        TextureDescription color = colorDescription(static_cast<uint16_t>(size), static_cast<uint16_t>(size));
        TextureDescription* attachments[1] = {&color};
        api().createFrameBufferInRenderer(state(), target, size, size, attachments, 1);
        api().bindFrameBufferInRenderer(state(), target);
        api().enableDepthTestOnRenderer(state(), false);
        api().bindShaderInRenderer(state(), fetch);
        const float area[4] = {-1, -1, 1, 1};
        api().sendVector4DToShaderInRenderer(state(), fetch, "area", area);
        api().sendFloatToShaderInRenderer(state(), fetch, "level", static_cast<float>(l));
        const float extent = static_cast<float>(size);
        api().sendVector2DToShaderInRenderer(state(), fetch, "levelSize", RendererVector2{extent, extent});
        api().bindTextureInRenderer(state(), texture, 0);
        api().drawIndexedInRenderer(state(), fetch, state()->quadIndexBuffer, state()->quadVertexInput);
        read.assign(static_cast<size_t>(size) * size * 4, 0);
        ASSERT_TRUE(
            gBackend.readPixels(state(), 0, 0, static_cast<int32_t>(size), static_cast<int32_t>(size), read.data()));
        size_t mismatches = 0, first = 0;
        for (size_t i = 0; i < read.size(); ++i)
            if (read[i] != level[i] && mismatches++ == 0) first = i;
        EXPECT_EQ(mismatches, 0u) << "level " << l << ": byte " << first << " is " << int(read[first])
                                  << ", the box filter gives " << int(level[first]);
        api().unbindFrameBufferInRenderer(state(), target);
        for (uint32_t i = 0; i < target->attachmentCount; ++i)
            api().pushFreeTextureDescriptorInRenderer(state(), target->textures[i]);
    }
}

TEST_F(Direct3D12, BindingTheSameShaderTwiceRecordsOnePipelineChange) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* first = newShader();
    ShaderRecord* second = newShader();
    ASSERT_TRUE(buildShader(first, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    ASSERT_TRUE(buildShader(second, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    api().bindShaderInRenderer(state(), second);
    const uint64_t sets = backend()->statistics.pipelineSets;
    api().bindShaderInRenderer(state(), first);
    api().bindShaderInRenderer(state(), first);
    EXPECT_EQ(backend()->statistics.pipelineSets, sets + 1);
    api().bindShaderInRenderer(state(), second);
    EXPECT_EQ(backend()->statistics.pipelineSets, sets + 2);
}

TEST_F(Direct3D12, TogglingTheDepthTestReusesCachedPipelineStates) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    api().bindShaderInRenderer(state(), shader);
    api().enableDepthTestOnRenderer(state(), false);
    api().enableDepthTestOnRenderer(state(), true);
    const uint64_t created = backend()->statistics.pipelinesCreated;
    const uint64_t sets = backend()->statistics.pipelineSets;
    for (int round = 0; round < 3; ++round) {
        api().enableDepthTestOnRenderer(state(), false);
        api().enableDepthTestOnRenderer(state(), true);
    }
    EXPECT_EQ(backend()->statistics.pipelinesCreated, created);
    EXPECT_EQ(backend()->statistics.pipelineSets, sets + 6);
    EXPECT_EQ(state()->currentShader, shader);
}

} // namespace
