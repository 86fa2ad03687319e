// The VertexFormat catalogue: vertex layouts 0 to 14, shared by number between the
// program and both backends. Every slot is 32 bits; offsets count slots from the start
// of the vertex; -1 means the format has no such attribute. Entry 15 is all zero and is
// not a format. Attributes always come in the order position, texture coordinate,
// colour, normal, joints, weights, mesh index, absent ones skipped.
//
// One table per column, indexed by format id. Each binary that includes this header
// holds its own copy of the constants, as the interface intends.
#pragma once

#include <stdint.h>

enum { VERTEX_FORMAT_COUNT = 15, VERTEX_FORMAT_TABLE_SIZE = 16 };

// Slot encodings: floats everywhere, except the one packed RGBA8 colour slot of format 6,
// the joints (four signed 32-bit integers stored bit for bit) and the mesh index (one
// signed 32-bit integer).
enum VertexAttribute {
    VERTEX_ATTRIBUTE_POSITION = 0,
    VERTEX_ATTRIBUTE_TEXCOORD,
    VERTEX_ATTRIBUTE_COLOR,
    VERTEX_ATTRIBUTE_NORMAL,
    VERTEX_ATTRIBUTE_JOINTS,
    VERTEX_ATTRIBUTE_WEIGHTS,
    VERTEX_ATTRIBUTE_MESH_INDEX,
    VERTEX_ATTRIBUTE_KIND_COUNT
};

//                                                     id: 0   1  2  3   4   5  6  7  8  9  10 11  12 13 14 15
inline constexpr int32_t kVertexFormatSlots[16]         = {11, 8, 5, 3, 19, 16, 5, 7, 8, 6, 20, 5, 19, 6, 6, 0};
inline constexpr int32_t kVertexFormatPositionOffset[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
inline constexpr int32_t kVertexFormatPositionComponents[16] = {3, 3, 3, 3, 3, 3, 2, 2, 2, 3, 3, 2, 2, 2, 3, 0};
inline constexpr int32_t kVertexFormatTexCoordOffset[16] = {3, 3, 3, -1, 3, 3, 2, 2, 2, 3, 3, 2, 2, -1, -1, 0};
inline constexpr int32_t kVertexFormatColorOffset[16]    = {5, -1, -1, -1, 5, -1, 4, 4, 4, -1, 5, -1, 4, 2, -1, 0};
inline constexpr int32_t kVertexFormatColorComponents[16] = {3, 0, 0, 0, 3, 0, 1, 3, 4, 0, 3, 0, 3, 4, 0, 0};
inline constexpr int32_t kVertexFormatNormalOffset[16]   = {8, 5, -1, -1, 8, 5, -1, -1, -1, -1, 8, -1, 7, -1, 3, 0};
inline constexpr int32_t kVertexFormatJointsOffset[16]   = {-1, -1, -1, -1, 11, 8, -1, -1, -1, -1, 11, -1, 10, -1, -1, 0};
inline constexpr int32_t kVertexFormatWeightsOffset[16]  = {-1, -1, -1, -1, 15, 12, -1, -1, -1, -1, 15, -1, 14, -1, -1, 0};
inline constexpr int32_t kVertexFormatMeshIndexOffset[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, 5, 19, 4, 18, -1, -1, 0};
inline constexpr int32_t kVertexFormatAttributeCount[16] = {4, 3, 2, 1, 6, 5, 3, 3, 3, 3, 7, 3, 7, 2, 2, 0};

// Shader input names (OpenGL) and semantics (Direct3D 12), by VertexAttribute.
inline constexpr const char* kVertexAttributeNames[VERTEX_ATTRIBUTE_KIND_COUNT] = {
    "inVertex", "inTexCoord", "inColor", "inNormal", "inJoints", "inWeights", "inMeshIndex"};
inline constexpr const char* kVertexAttributeSemantics[VERTEX_ATTRIBUTE_KIND_COUNT] = {
    "POSITION", "TEXCOORD", "COLOR", "NORMAL", "JOINTS", "WEIGHTS", "INDEX"};

inline bool isVertexFormat(int32_t format) { return format >= 0 && format < VERTEX_FORMAT_COUNT; }

// Slots per vertex, 0 for an id outside the catalogue.
inline int32_t vertexFormatSlots(int32_t format) { return isVertexFormat(format) ? kVertexFormatSlots[format] : 0; }

// Offset in slots of an attribute of a format, -1 when the format lacks it.
inline int32_t vertexAttributeOffset(int32_t format, VertexAttribute attribute) {
    if (!isVertexFormat(format)) return -1;
    switch (attribute) {
    case VERTEX_ATTRIBUTE_POSITION: return kVertexFormatPositionOffset[format];
    case VERTEX_ATTRIBUTE_TEXCOORD: return kVertexFormatTexCoordOffset[format];
    case VERTEX_ATTRIBUTE_COLOR: return kVertexFormatColorOffset[format];
    case VERTEX_ATTRIBUTE_NORMAL: return kVertexFormatNormalOffset[format];
    case VERTEX_ATTRIBUTE_JOINTS: return kVertexFormatJointsOffset[format];
    case VERTEX_ATTRIBUTE_WEIGHTS: return kVertexFormatWeightsOffset[format];
    case VERTEX_ATTRIBUTE_MESH_INDEX: return kVertexFormatMeshIndexOffset[format];
    default: return -1;
    }
}

// Number of 32-bit components of an attribute in a format (0 when absent).
inline int32_t vertexAttributeComponents(int32_t format, VertexAttribute attribute) {
    if (vertexAttributeOffset(format, attribute) < 0) return 0;
    switch (attribute) {
    case VERTEX_ATTRIBUTE_POSITION: return kVertexFormatPositionComponents[format];
    case VERTEX_ATTRIBUTE_TEXCOORD: return 2;
    case VERTEX_ATTRIBUTE_COLOR: return kVertexFormatColorComponents[format];
    case VERTEX_ATTRIBUTE_NORMAL: return 3;
    case VERTEX_ATTRIBUTE_JOINTS: return 4;
    case VERTEX_ATTRIBUTE_WEIGHTS: return 4;
    case VERTEX_ATTRIBUTE_MESH_INDEX: return 1;
    default: return 0;
    }
}
