#include "backend/renderer_api.h"
#include "backend/vertex_formats.h"

#include <gtest/gtest.h>

#include <string.h>

// The binding order is part of the interface; this is the order both backends and
// the program were written against, spelled out independently of the X-macro.
static const char* const kExpectedOrder[] = {
    "initRenderer", "cleanupRenderer", "enableDepthTestOnRenderer", "enableWireframeOnRenderer",
    "clearCurrentFrameBuffer", "clearColorBufferOnRenderer", "clearDepthOnRenderer", "enableDepthMaskOnRenderer",
    "setViewPortOnRenderer", "resizeBackBuffersOnRenderer", "setScissorOnRenderer", "swapBuffersOnRenderer",
    "rendererToWindowed", "rendererToFullscreen", "rendererToBorderlessWindow", "getAvailableRendererResolutions",
    "getAvailableRendererFrequenciesForResolution", "lockMouseInsideRendererWindow", "lockMousePositionInRenderer",
    "createVertexBufferInRenderer", "createBufferInRenderer", "createIndexBufferInRenderer",
    "createVertexInputBufferInRenderer", "updateVertexInputBufferInRenderer",
    "updateVertexInputBufferFromIndexInRenderer", "openVertexInputBufferInRenderer",
    "closeVertexInputBufferInRenderer", "createIndexBufferInRendererWithData", "updateIndexBufferInRenderer",
    "openIndexBufferInRenderer", "closeIndexBufferInRenderer", "uploadTextureInRenderer", "bindTextureInRenderer",
    "sendVerticesToBufferInRenderer", "sendDataToBufferInRenderer", "sendIndicesToBufferInRenderer",
    "deleteBufferInRenderer", "deleteIndexBufferInRenderer", "deleteVertexInputBufferInRenderer",
    "bindVertexBufferInRenderer", "bindIndexBufferInRenderer", "getTextureIDInRenderer", "getUniformIDInRenderer",
    "beginFrameInRenderer", "endFrameInRenderer", "getMaxTextureSizeInRenderer",
    "getShaderSourceFileExtensionInRenderer", "defaultGUITextShaderSource", "defaultGUIColorShaderSource",
    "defaultGUITransformedTextShaderSource", "defaultGUIImageShaderSource", "setDisplayResolutionInRenderer",
    "setDisplayFrequencyInRenderer", "setMonitorInRenderer", "isDepthTestEnabledInRenderer",
    "isDepthMaskEnabledInRenderer", "pushFreeTextureDescriptorInRenderer", "setTextureSmoothInRenderer",
    "setTextureWrapModeInRenderer", "windowWidthInRenderer", "windowHeightInRenderer",
    "windowRefreshFrequencyInRenderer", "createFrameBufferInRenderer", "destroyFrameBufferInRenderer",
    "bindFrameBufferInRenderer", "unbindFrameBufferInRenderer", "clearFrameBufferInRenderer",
    "sendMatrix4x4ToShaderInRenderer", "sendMatrix4x4ToShaderOInRenderer", "sendMatrix3x3ToShaderInRenderer",
    "sendSkeletonToShaderInRenderer", "sendSkeletonToShaderOInRenderer", "sendFloatToShaderInRenderer",
    "sendFloatToShaderOInRenderer", "sendIntegerToShaderOInRenderer", "sendIntegerToShaderInRenderer",
    "sendUnsignedIntegerToShaderOInRenderer", "sendUnsignedIntegerToShaderInRenderer",
    "sendVector2DToShaderInRenderer", "sendVector2DToShaderOInRenderer", "sendVector3DToShaderInRenderer",
    "sendVector3DToShaderOInRenderer", "sendVector4DToShaderInRenderer", "setShaderOutputInRenderer",
    "setShaderInputInRenderer", "drawIndexedInRenderer", "drawIndexedSubIndexCountInRenderer",
    "drawIndexedSubIndexSetInRenderer", "drawIndexedWithPreviousBuffersInRenderer",
    "loadShaderFromSourceInRenderer", "compileShaderInRenderer", "bindShaderInRenderer", "unbindShaderInRenderer",
    "cleanupShaderInRenderer"};

TEST(RendererApi, NamesFollowTheBindingOrder) {
    ASSERT_EQ(sizeof(kExpectedOrder) / sizeof(kExpectedOrder[0]), size_t(RENDERER_ENTRY_POINT_COUNT));
    for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i) EXPECT_STREQ(kRendererEntryPointNames[i], kExpectedOrder[i]) << i;
    EXPECT_STREQ(RENDERER_REGISTER_WNDPROC_NAME, "registerWndProc");
}

TEST(RendererApi, FortySevenEntryPointsAreCalledByTheProgram) {
    int called = 0;
    for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i) called += kRendererEntryPointCalled[i];
    EXPECT_EQ(called, 47);
    // A few from each side of the line.
    auto isCalled = [](const char* name) {
        for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i)
            if (strcmp(kRendererEntryPointNames[i], name) == 0) return kRendererEntryPointCalled[i];
        ADD_FAILURE() << name;
        return false;
    };
    EXPECT_TRUE(isCalled("initRenderer"));
    EXPECT_TRUE(isCalled("sendVector4DToShaderInRenderer"));
    EXPECT_TRUE(isCalled("pushFreeTextureDescriptorInRenderer"));
    EXPECT_FALSE(isCalled("enableWireframeOnRenderer"));
    EXPECT_FALSE(isCalled("drawIndexedWithPreviousBuffersInRenderer"));
    EXPECT_TRUE(isCalled("sendFloatToShaderInRenderer")); // the highlight
}

TEST(RendererApi, SlotsLieInNameOrder) {
    RendererApi api = {};
    EXPECT_EQ(reinterpret_cast<char*>(&api.cleanupShaderInRenderer) - reinterpret_cast<char*>(&api),
              93 * static_cast<long>(sizeof(void*)));
    EXPECT_EQ(reinterpret_cast<char*>(&api.uploadTextureInRenderer) - reinterpret_cast<char*>(&api),
              31 * static_cast<long>(sizeof(void*)));
}

TEST(VertexFormats, AttributeCountsMatchTheLayouts) {
    for (int32_t format = 0; format < VERTEX_FORMAT_COUNT; ++format) {
        int count = 0, slots = 0;
        for (int a = 0; a < VERTEX_ATTRIBUTE_KIND_COUNT; ++a) {
            VertexAttribute attribute = static_cast<VertexAttribute>(a);
            if (vertexAttributeOffset(format, attribute) >= 0) {
                ++count;
                // Attributes follow each other without gaps, in catalogue order.
                EXPECT_EQ(vertexAttributeOffset(format, attribute), slots) << format << " " << a;
                slots += vertexAttributeComponents(format, attribute);
            }
        }
        EXPECT_EQ(count, kVertexFormatAttributeCount[format]) << format;
        EXPECT_EQ(slots, kVertexFormatSlots[format]) << format;
    }
    EXPECT_EQ(vertexFormatSlots(15), 0);
    EXPECT_EQ(vertexFormatSlots(-1), 0);
    EXPECT_EQ(vertexAttributeOffset(99, VERTEX_ATTRIBUTE_POSITION), -1);
}
