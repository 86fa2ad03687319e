// Shader programs: slots, the two-stage source, compile and link, the attribute
// layout from the vertex-format catalogue, and binding with the cull and blend state
// that follows the bound shader.
#include "backends/window/backend_exports.h"
#include "backends/opengl/opengl_backend.h"
#include "engine/assets/dyn_array.h"
#include "backends/opengl/shader_source.h"

#include "backend/vertex_formats.h"

#include <stdlib.h>
#include <string.h>

namespace {

enum { PROGRAM_LOG_CAPACITY = 16384 };

void resetSlotCaches(ProgramSlot* slot) {
    slot->lastIndexBuffer = RENDERER_INVALID_ID;
    slot->lastVertexInput = RENDERER_INVALID_ID;
    for (uint32_t unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit) slot->boundTextures[unit] = RENDERER_INVALID_ID;
}

ProgramSlot* assignSlot(RendererState* state, ShaderRecord* shader) {
    if (ProgramSlot* slot = programSlot(state, shader)) return slot;
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !growBlock(reinterpret_cast<void**>(&gl->programs), &gl->programCapacity, gl->programCount + 1, sizeof(ProgramSlot)))
        return nullptr;
    ProgramSlot* slot = &gl->programs[gl->programCount];
    memset(slot, 0, sizeof(*slot));
    resetSlotCaches(slot);
    shader->slot = static_cast<int32_t>(gl->programCount++);
    return slot;
}

// Compile and link logs go to the debugger output (WINEDEBUG=+debugstr shows them).
void reportLog(const char* what, const char* log) {
    if (!log[0]) return;
    OutputDebugStringA("VidPortOpenGL3_0: ");
    OutputDebugStringA(what);
    OutputDebugStringA(":\n");
    OutputDebugStringA(log);
    OutputDebugStringA("\n");
}

bool compileStage(uint32_t* stage, const char* what) {
    if (*stage == 0) return false;
    glCompileShader(*stage);
    GLint compiled = GL_FALSE;
    glGetShaderiv(*stage, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return true;
    GLint length = 0;
    glGetShaderiv(*stage, GL_INFO_LOG_LENGTH, &length);
    if (length > 0) {
        char* log = static_cast<char*>(calloc(static_cast<size_t>(length) + 1, 1));
        if (log) {
            glGetShaderInfoLog(*stage, length, nullptr, log);
            reportLog(what, log);
            free(log);
        }
    }
    glDeleteShader(*stage);
    *stage = 0;
    return false;
}

bool setStageSource(uint32_t stage, const char* source, const char* stageName) {
    char* text = assembleShaderStage(source, stageName);
    if (!text) return false;
    const GLchar* texts[1] = {text};
    glShaderSource(stage, 1, texts, nullptr);
    free(text);
    return true;
}

AttributeKind kindOf(VertexAttribute attribute, int32_t components) {
    if (attribute == VERTEX_ATTRIBUTE_JOINTS || attribute == VERTEX_ATTRIBUTE_MESH_INDEX) return ATTRIBUTE_INTEGER;
    // The one-slot colour is four bytes packed in 32 bits.
    if (attribute == VERTEX_ATTRIBUTE_COLOR && components == 1) return ATTRIBUTE_PACKED_BYTES;
    return ATTRIBUTE_FLOAT;
}

// The attribute list of the slot's vertex format, with the locations the linker
// chose. A format outside the catalogue leaves the list as it was.
void buildAttributes(ShaderRecord* shader, const ProgramSlot* slot) {
    const int32_t format = static_cast<int32_t>(slot->vertexFormat);
    if (!isVertexFormat(format)) return;
    ShaderAttribute* attributes =
        static_cast<ShaderAttribute*>(calloc(VERTEX_ATTRIBUTE_KIND_COUNT, sizeof(ShaderAttribute)));
    if (!attributes) return;
    uint32_t count = 0;
    for (int32_t a = 0; a < VERTEX_ATTRIBUTE_KIND_COUNT; ++a) {
        const VertexAttribute attribute = static_cast<VertexAttribute>(a);
        const int32_t offset = vertexAttributeOffset(format, attribute);
        if (offset < 0) continue;
        const int32_t components = vertexAttributeComponents(format, attribute);
        ShaderAttribute& entry = attributes[count++];
        entry.location = glGetAttribLocation(slot->program, kVertexAttributeNames[a]);
        entry.components = static_cast<uint16_t>(components);
        entry.kind = kindOf(attribute, components);
        entry.byteOffset = static_cast<uint64_t>(offset) * 4;
    }
    free(shader->attributes);
    shader->attributes = attributes;
    shader->attributeCount = count;
}

void lookUpUniforms(ShaderRecord* shader, const ProgramSlot* slot) {
    ShaderUniform* uniforms = static_cast<ShaderUniform*>(shader->uniforms);
    for (uint32_t i = 0; uniforms && i < shader->uniformCount; ++i)
        uniforms[i].location = slot->program ? glGetUniformLocation(slot->program, uniforms[i].name) : -1;
}

void releaseUniforms(ShaderRecord* shader) {
    ShaderUniform* uniforms = static_cast<ShaderUniform*>(shader->uniforms);
    for (uint32_t i = 0; uniforms && i < shader->uniformCount; ++i) free(uniforms[i].name);
    free(uniforms);
    shader->uniforms = nullptr;
    shader->uniformCount = 0;
}

void enableVertexAttributes(const ShaderRecord* shader) {
    const ShaderAttribute* attributes = static_cast<const ShaderAttribute*>(shader->attributes);
    for (uint32_t i = 0; attributes && i < shader->attributeCount; ++i)
        if (attributes[i].location >= 0) glEnableVertexAttribArray(static_cast<GLuint>(attributes[i].location));
}

void applyCullMode(uint32_t mode) {
    if (mode == CULL_BACK || mode == CULL_FRONT) {
        glEnable(GL_CULL_FACE);
        glFrontFace(mode == CULL_BACK ? GL_CCW : GL_CW);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

// Only colour is blended: alpha always takes the source's (source × 1 +
// destination × 0), so a target's alpha is what the last draw wrote.
void applyBlendMode(uint32_t mode) {
    switch (mode) {
    case BLEND_ALPHA:
        glEnable(GL_BLEND);
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO);
        break;
    case BLEND_PREMULTIPLIED:
        glEnable(GL_BLEND);
        glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO);
        break;
    case BLEND_ADDITIVE:
        glEnable(GL_BLEND);
        glBlendFuncSeparate(GL_ONE, GL_ONE, GL_ONE, GL_ZERO);
        break;
    case BLEND_NONE:
        glDisable(GL_BLEND);
        break;
    default:
        break; // blending stays as it is
    }
}

} // namespace

ProgramSlot* programSlot(RendererState* state, const ShaderRecord* shader) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !shader || shader->slot < 0 || static_cast<uint32_t>(shader->slot) >= gl->programCount) return nullptr;
    return &gl->programs[shader->slot];
}

void disableVertexAttributes(const ShaderRecord* shader) {
    const ShaderAttribute* attributes = static_cast<const ShaderAttribute*>(shader->attributes);
    for (uint32_t i = 0; attributes && i < shader->attributeCount; ++i)
        if (attributes[i].location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(attributes[i].location));
}

void setShaderInputInRenderer(RendererState* state, ShaderRecord* shader, int32_t vertexFormat,
                              const UniformDeclaration* uniforms, uint32_t uniformCount) {
    if (!shader) return;
    ProgramSlot* slot = assignSlot(state, shader);
    if (!slot) return;
    slot->vertexFormat = static_cast<uint32_t>(vertexFormat);
    releaseUniforms(shader);
    if (uniforms && uniformCount > 0) {
        ShaderUniform* copies = static_cast<ShaderUniform*>(calloc(uniformCount, sizeof(ShaderUniform)));
        if (!copies) return;
        uint32_t count = 0;
        for (uint32_t i = 0; i < uniformCount; ++i) {
            const char* name = uniforms[i].name ? uniforms[i].name : "";
            size_t length = strlen(name);
            char* copy = static_cast<char*>(malloc(length + 1));
            if (!copy) break;
            memcpy(copy, name, length + 1);
            copies[count].name = copy;
            copies[count].location = -1;
            copies[count].componentCount = uniforms[i].componentCount;
            copies[count].offset = uniforms[i].offset;
            ++count;
        }
        shader->uniforms = copies;
        shader->uniformCount = count;
    }
    // Declarations given after a link find their locations at once.
    if (slot->program) {
        buildAttributes(shader, slot);
        lookUpUniforms(shader, slot);
    }
}

bool loadShaderFromSourceInRenderer(RendererState* state, ShaderRecord* shader, const char* source) {
    if (!shader || !source) return false;
    ProgramSlot* slot = assignSlot(state, shader);
    if (!slot) return false;
    // A reload replaces the stages; GL keeps them alive while a program holds them.
    if (slot->vertexShader) glDeleteShader(slot->vertexShader);
    if (slot->fragmentShader) glDeleteShader(slot->fragmentShader);
    slot->vertexShader = glCreateShader(GL_VERTEX_SHADER);
    slot->fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    return setStageSource(slot->vertexShader, source, "VERTEX_SHADER_SOURCE") &&
           setStageSource(slot->fragmentShader, source, "FRAGMENT_SHADER_SOURCE");
}

bool compileShaderInRenderer(RendererState* state, ShaderRecord* shader) {
    ProgramSlot* slot = programSlot(state, shader);
    if (!slot) return false;
    // Both stages must compile: a compatibility context would link a program whose
    // vertex stage failed with fixed-function vertex processing instead.
    const bool vertexCompiled = compileStage(&slot->vertexShader, "vertex stage");
    const bool fragmentCompiled = compileStage(&slot->fragmentShader, "fragment stage");
    if (!vertexCompiled || !fragmentCompiled) return false;

    GLuint program = glCreateProgram();
    glAttachShader(program, slot->vertexShader);
    glAttachShader(program, slot->fragmentShader);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char* log = static_cast<char*>(calloc(PROGRAM_LOG_CAPACITY, 1));
        if (log) {
            glGetProgramInfoLog(program, PROGRAM_LOG_CAPACITY - 1, nullptr, log);
            reportLog("link", log);
            free(log);
        }
        // The slot keeps the program it had, which still matches its lists.
        glDeleteProgram(program);
        return false;
    }

    const uint32_t previous = slot->program;
    const bool bound = state->currentShader == shader;
    if (bound) disableVertexAttributes(shader);
    slot->program = program;
    if (previous) glDeleteProgram(previous);
    buildAttributes(shader, slot);
    lookUpUniforms(shader, slot);
    if (bound) {
        glUseProgram(program);
        resetSlotCaches(slot);
        enableVertexAttributes(shader);
    }
    return true;
}

void bindShaderInRenderer(RendererState* state, ShaderRecord* shader) {
    if (!state || !shader || state->currentShader == shader) return;
    ProgramSlot* slot = programSlot(state, shader);
    if (!slot) return;
    resetSlotCaches(slot);
    int64_t previousCull = -1;
    int64_t previousBlend = -1;
    if (const ShaderRecord* previous = state->currentShader) {
        previousCull = previous->cullMode;
        previousBlend = previous->blendMode;
        disableVertexAttributes(previous);
    }
    glUseProgram(slot->program);
    if (shader->cullMode != previousCull) applyCullMode(shader->cullMode);
    if (shader->blendMode != previousBlend) applyBlendMode(shader->blendMode);
    state->currentShader = shader;
    enableVertexAttributes(shader);
}

void unbindShaderInRenderer(RendererState* state, ShaderRecord* shader) {
    if (!openGLState(state) || !shader) return;
    disableVertexAttributes(shader);
}

void cleanupShaderInRenderer(RendererState* state, ShaderRecord* shader) {
    if (!state || !shader) return;
    if (openGLState(state)) {
        // Only the bound shader's program is taken off: another bound shader keeps
        // drawing with its own.
        if (state->currentShader == shader) {
            disableVertexAttributes(shader);
            glUseProgram(0);
        }
        if (ProgramSlot* slot = programSlot(state, shader)) {
            if (slot->program && slot->vertexShader) glDetachShader(slot->program, slot->vertexShader);
            if (slot->program && slot->fragmentShader) glDetachShader(slot->program, slot->fragmentShader);
        }
    }
    if (state->currentShader == shader) state->currentShader = nullptr;
    shader->slot = -1;
    releaseUniforms(shader);
    free(shader->attributes);
    shader->attributes = nullptr;
    shader->attributeCount = 0;
}
