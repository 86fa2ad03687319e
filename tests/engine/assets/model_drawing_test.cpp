#include "engine/program/program_state.h"
#include "engine/assets/model_drawing.h"
#include "tests/support/recording_renderer.h"

#include <gtest/gtest.h>

namespace {

class ModelDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        gRendererState = RendererState{};
        installRecordingRenderer(&recorder);
        gRendererState.currentShader = &shader;
    }
    void TearDown() override {
        removeRecordingRenderer();
        gRendererState = RendererState{};
    }
    RecordingRenderer recorder;
    ShaderRecord shader = {};
};

void expectValues(const std::vector<float>& values, const float* expected, size_t n, float tolerance = 1e-6f) {
    ASSERT_EQ(values.size(), n);
    for (size_t i = 0; i < n; ++i) EXPECT_NEAR(values[i], expected[i], tolerance) << "element " << i;
}

TEST_F(ModelDrawing, FirstUploadCreatesLaterOnesUpdateAndKeepTheReturnedIds) {
    recorder.nextVertexInput = 7;
    recorder.nextIndexBuffer = 3;
    Mesh mesh = {};
    mesh.vertexFormat = 3;
    appendVertexPosition(&mesh, 1, 2, 3);
    appendVertexPosition(&mesh, 4, 5, 6);
    setMeshIndexCount(&mesh, 3);
    mesh.indices[0] = 0, mesh.indices[1] = 1, mesh.indices[2] = 1;

    GpuMesh gpu = emptyGpuMesh();
    uploadMeshRecord(&gpu, &mesh);
    EXPECT_EQ(gpu.vertexInput, 7u);
    EXPECT_EQ(gpu.indexBuffer, 3u);
    const RecordedCall* create = findCall(&recorder, "createVertexInputBufferInRenderer");
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create->state, &gRendererState);
    EXPECT_EQ(create->integers, (std::vector<uint64_t>{2, 3})); // vertex count, format
    EXPECT_EQ(create->values.size(), 6u);
    const RecordedCall* indices = findCall(&recorder, "createIndexBufferInRendererWithData");
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(indices->indices, (std::vector<uint32_t>{0, 1, 1}));

    appendVertexPosition(&mesh, 7, 8, 9);
    uploadMeshRecord(&gpu, &mesh);
    EXPECT_EQ(countCalls(&recorder, "createVertexInputBufferInRenderer"), 1u);
    EXPECT_EQ(countCalls(&recorder, "createIndexBufferInRendererWithData"), 1u);
    const RecordedCall* update = findCall(&recorder, "updateVertexInputBufferInRenderer");
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->integers, (std::vector<uint64_t>{7, 3, 3})); // id, vertex count, format
    ASSERT_NE(findCall(&recorder, "updateIndexBufferInRenderer"), nullptr);
    EXPECT_EQ(findCall(&recorder, "updateIndexBufferInRenderer")->integers[0], 3u);

    releaseGpuMesh(&gpu);
    EXPECT_EQ(gpu.vertexInput, RENDERER_INVALID_ID);
    EXPECT_EQ(gpu.indexBuffer, RENDERER_INVALID_ID);
    EXPECT_EQ(callNames(&recorder).back(), "deleteIndexBufferInRenderer");
    EXPECT_EQ(findCall(&recorder, "deleteVertexInputBufferInRenderer")->integers[0], 7u);
    size_t before = recorder.calls.size();
    releaseGpuMesh(&gpu); // nothing created: nothing to delete
    EXPECT_EQ(recorder.calls.size(), before);
    releaseMesh(&mesh);
}

TEST_F(ModelDrawing, DrawSendsTheThreeMatricesThenDraws) {
    GpuMesh gpu = {4, 9};
    Quat turn = {0, 0, 0.70710678f, 0.70710678f};
    Mat4 model = transformMatrix(vec3(1, 2, 3), &turn, vec3(2, 4, 8));
    Mat4 modelView = translationMatrix(vec3(0, 0, -5));
    drawMesh(&gpu, &model, &modelView);

    std::vector<std::string> expected = {"sendMatrix4x4ToShaderInRenderer", "sendMatrix3x3ToShaderInRenderer",
                                         "sendMatrix4x4ToShaderInRenderer", "drawIndexedInRenderer"};
    EXPECT_EQ(callNames(&recorder), expected);
    const RecordedCall* modelCall = findUniform(&recorder, "modelMat");
    ASSERT_NE(modelCall, nullptr);
    EXPECT_EQ(modelCall->shader, &shader);
    expectValues(modelCall->values, model.m, 16);
    const RecordedCall* mv = findUniform(&recorder, "mvMat");
    ASSERT_NE(mv, nullptr);
    expectValues(mv->values, modelView.m, 16);

    // The plain inverse of the upper 3 x 3 (a turn of 90 degrees about z after scaling by
    // 2, 4, 8): rows of the inverse are the columns of the rotation divided by the scales.
    const RecordedCall* inverse = findUniform(&recorder, "inverseModelMat");
    ASSERT_NE(inverse, nullptr);
    const float expectedInverse[9] = {0, -0.25f, 0, 0.5f, 0, 0, 0, 0, 0.125f};
    expectValues(inverse->values, expectedInverse, 9);

    const RecordedCall* draw = findCall(&recorder, "drawIndexedInRenderer");
    EXPECT_EQ(draw->shader, &shader);
    EXPECT_EQ(draw->integers, (std::vector<uint64_t>{9, 4})); // index buffer, then vertex input
}

TEST_F(ModelDrawing, SingularModelSendsItsUpperPartUnchanged) {
    GpuMesh gpu = {0, 0};
    Quat turn = quaternionFromAxisAngle(vec3(0, 1, 0), 30.0f);
    Mat4 model = transformMatrix(vec3(5, 6, 7), &turn, vec3(3, 0, 2));
    Mat4 view = identityMatrix4();
    drawMesh(&gpu, &model, &view);
    const RecordedCall* inverse = findUniform(&recorder, "inverseModelMat");
    ASSERT_NE(inverse, nullptr);
    Mat3 upper = upperLeft3x3(&model);
    expectValues(inverse->values, upper.m, 9, 0.0f);
}

TEST_F(ModelDrawing, SceneObjectPlacesItsPivotAndBindsItsTexture) {
    GpuMesh gpu = {1, 2};
    int32_t texture = 5;
    SceneObject object = {&gpu, &texture, vec3(1, 2, 3), vec3(2, 2, 2), identityQuaternion(), vec3(0.5f, 0, 0)};
    Mat4 model = sceneObjectModelMatrix(&object);
    EXPECT_FLOAT_EQ(model.m[12], 0.0f);
    EXPECT_FLOAT_EQ(model.m[13], 2.0f);
    EXPECT_FLOAT_EQ(model.m[14], 3.0f);
    EXPECT_FLOAT_EQ(model.m[15], 1.0f);
    EXPECT_FLOAT_EQ(model.m[0], 2.0f);

    // With a turn the pivot is scaled and turned before the position moves it:
    // the pivot point itself lands on the position.
    object.rotation = quaternionFromAxisAngle(vec3(0, 0, 1), 90.0f);
    object.pivot = vec3(1, 1, 0);
    model = sceneObjectModelMatrix(&object);
    Vec3 placed = transformPoint(&model, object.pivot);
    EXPECT_NEAR(placed.x, 1.0f, 1e-5f);
    EXPECT_NEAR(placed.y, 2.0f, 1e-5f);
    EXPECT_NEAR(placed.z, 3.0f, 1e-5f);
    Vec3 corner = transformPoint(&model, vec3(2, 1, 0)); // one unit along x from the pivot
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, 4.0f, 1e-5f);

    Mat4 view = translationMatrix(vec3(0, 0, -10));
    drawSceneObject(&object, &view);
    const RecordedCall* bind = findCall(&recorder, "bindTextureInRenderer");
    ASSERT_NE(bind, nullptr);
    EXPECT_EQ(bind->integers, (std::vector<uint64_t>{5, 0}));
    EXPECT_EQ(callNames(&recorder).front(), "bindTextureInRenderer");
    Mat4 expectedModelView;
    multiplyMatrix4(&expectedModelView, &view, &model);
    expectValues(findUniform(&recorder, "mvMat")->values, expectedModelView.m, 16, 1e-5f);
    expectValues(findUniform(&recorder, "modelMat")->values, model.m, 16, 1e-6f);
}

} // namespace
