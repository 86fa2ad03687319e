// Every HLSL program of the data folder compiles with D3DCompile (vs_5_0 and ps_5_0,
// VSMain and PSMain) as the Direct3D 12 backend compiles it, its constant buffer at b0
// matches the offsets the backend packs the game's uniforms to, and its vertex inputs
// are semantics the backend's input layout for the program's vertex format provides.
#include "game/shader_programs.h"

// initguid.h makes this file define the reflection interface's identifier.
#include <initguid.h>

#include <d3d11shader.h>
#include <d3dcompiler.h>
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#ifndef QUARLO_SHADER_SOURCES
#error "QUARLO_SHADER_SOURCES names the shader source folder"
#endif

namespace {

// Where the Direct3D 12 backend places each uniform in its constant block, in 32-bit
// units: after the previous one, moved to the next 16-byte row when it would cross
// one, with sizes above 4 that are not a multiple of 4 rounded up (a 3 x 3 matrix
// takes three rows). HLSL packs a cbuffer declared in the same order the same way.
void packedUniformOffsets(const ShaderProgramSpec* program, uint32_t* offsets) {
    uint32_t previousOffset = 0, previousCount = 0;
    for (uint32_t i = 0; i < program->uniformCount; ++i) {
        uint32_t count = program->uniforms[i].components;
        uint32_t offset = i > 0 ? previousOffset + previousCount : 0;
        if (offset % 4 != 0 && 4 - offset % 4 < count) offset = (offset + 3) / 4 * 4;
        if (count > 4 && count % 4 != 0) count = (count + 3) / 4 * 4;
        offsets[i] = offset;
        previousOffset = offset;
        previousCount = count;
    }
}

std::string readSource(const char* program) {
    // Wine maps the Unix root to drive Z:.
    std::string path = std::string("Z:") + QUARLO_SHADER_SOURCES + "/" + program + ".hlsl";
    FILE* f = fopen(path.c_str(), "rb");
    std::string text;
    if (!f) return text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) text.append(chunk, n);
    fclose(f);
    return text;
}

struct Compiled {
    ID3DBlob* code = nullptr;
    std::string messages;
    ~Compiled() {
        if (code) code->Release();
    }
};

bool compile(const std::string& source, const char* entry, const char* target, Compiled* out) {
    ID3DBlob* errors = nullptr;
    HRESULT hr = D3DCompile(source.data(), source.size(), entry, nullptr, nullptr, entry, target, 0, 0, &out->code, &errors);
    if (errors) {
        out->messages.assign((const char*)errors->GetBufferPointer(), errors->GetBufferSize());
        errors->Release();
    }
    return SUCCEEDED(hr) && out->code;
}

// Semantics the backend's input layout gives each vertex format.
bool formatProvides(int32_t format, const char* semantic, unsigned components) {
    struct Element {
        const char* name;
        unsigned components;
    };
    static const Element format0[] = {{"POSITION", 3}, {"TEXCOORD", 2}, {"COLOR", 3}, {"NORMAL", 3}};
    static const Element format3[] = {{"POSITION", 3}};
    static const Element format8[] = {{"POSITION", 2}, {"TEXCOORD", 2}, {"COLOR", 4}};
    const Element* list = format == 0 ? format0 : format == 3 ? format3 : format8;
    size_t count = format == 0 ? 4 : format == 3 ? 1 : 3;
    for (size_t i = 0; i < count; ++i)
        if (strcmp(list[i].name, semantic) == 0) return components <= list[i].components;
    return false;
}

unsigned maskComponents(BYTE mask) { return (mask & 1) + ((mask >> 1) & 1) + ((mask >> 2) & 1) + ((mask >> 3) & 1); }

void checkReflection(const ShaderProgramSpec* program, ID3DBlob* code, bool vertexStage) {
    ID3D11ShaderReflection* reflection = nullptr;
    ASSERT_TRUE(SUCCEEDED(D3DReflect(code->GetBufferPointer(), code->GetBufferSize(), IID_ID3D11ShaderReflection,
                                     (void**)&reflection)))
        << program->path;
    uint32_t offsets[SHADER_PROGRAM_MAX_UNIFORMS];
    packedUniformOffsets(program, offsets);
    D3D11_SHADER_DESC desc;
    reflection->GetDesc(&desc);
    for (UINT b = 0; b < desc.ConstantBuffers; ++b) {
        ID3D11ShaderReflectionConstantBuffer* buffer = reflection->GetConstantBufferByIndex(b);
        D3D11_SHADER_BUFFER_DESC bufferDesc;
        buffer->GetDesc(&bufferDesc);
        for (UINT v = 0; v < bufferDesc.Variables; ++v) {
            D3D11_SHADER_VARIABLE_DESC variable;
            buffer->GetVariableByIndex(v)->GetDesc(&variable);
            bool declared = false;
            for (uint32_t u = 0; u < program->uniformCount; ++u)
                if (strcmp(program->uniforms[u].name, variable.Name) == 0) {
                    declared = true;
                    EXPECT_EQ(variable.StartOffset, 4 * offsets[u]) << program->path << ": " << variable.Name;
                }
            EXPECT_TRUE(declared) << program->path << ": " << variable.Name << " is not one of the game's uniforms";
        }
    }
    if (vertexStage)
        for (UINT i = 0; i < desc.InputParameters; ++i) {
            D3D11_SIGNATURE_PARAMETER_DESC input;
            reflection->GetInputParameterDesc(i, &input);
            EXPECT_EQ(input.SemanticIndex, 0u) << program->path;
            EXPECT_TRUE(formatProvides(program->vertexFormat, input.SemanticName, maskComponents(input.Mask)))
                << program->path << ": vertex format " << program->vertexFormat << " has no " << input.SemanticName
                << " of " << maskComponents(input.Mask) << " components";
        }
    reflection->Release();
}

TEST(HlslPrograms, CompileAndMatchTheBackendsLayout) {
    for (uint32_t p = 0; p < SHADER_PROGRAM_COUNT; ++p) {
        // A source loaded into two programs is declared the same way both times.
        if (!isFirstProgramOfItsSource(p)) continue;
        const ShaderProgramSpec* program = &kShaderProgramSpecs[p];
        std::string source = readSource(program->path);
        ASSERT_FALSE(source.empty()) << program->path;
        Compiled vertex, pixel;
        EXPECT_TRUE(compile(source, "VSMain", "vs_5_0", &vertex)) << program->path << ":\n" << vertex.messages;
        EXPECT_TRUE(compile(source, "PSMain", "ps_5_0", &pixel)) << program->path << ":\n" << pixel.messages;
        if (vertex.code) checkReflection(program, vertex.code, true);
        if (pixel.code) checkReflection(program, pixel.code, false);
    }
}

TEST(HlslPrograms, CompilerRefusesABrokenSource) {
    // The check above would pass vacuously if the compiler accepted anything.
    Compiled broken;
    EXPECT_FALSE(compile("float4 VSMain(float3 p : POSITION) : SV_Position { return undefinedThing; }", "VSMain", "vs_5_0",
                         &broken));
    EXPECT_FALSE(broken.messages.empty());
}

TEST(HlslPrograms, PackingRuleOfTheBackend) {
    // float3 then float3: the second starts a new row; a 3 x 3 matrix takes three.
    const ShaderProgramSpec& text = kShaderProgramSpecs[PROGRAM_TEXT];
    uint32_t offsets[SHADER_PROGRAM_MAX_UNIFORMS];
    packedUniformOffsets(&text, offsets);
    EXPECT_EQ(offsets[0], 0u);
    EXPECT_EQ(offsets[1], 4u);
    const ShaderProgramSpec& light = kShaderProgramSpecs[PROGRAM_BASIC_DIRECTIONAL_LIGHT];
    packedUniformOffsets(&light, offsets);
    // ... and a float after a float3 fills the row's last component.
    const uint32_t expected[9] = {0, 16, 32, 48, 60, 63, 64, 68, 71};
    ASSERT_EQ(light.uniformCount, 9u);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(offsets[i], expected[i]) << light.uniforms[i].name;
}

} // namespace
