#include "tests/backends/handle_reuse_script.h"

#include <stdio.h>
#include <vector>

namespace {

enum StepKind {
    CREATE_INPUT,    // createVertexInputBufferInRenderer, 4 vertices
    DELETE_INPUT,    // deleteVertexInputBufferInRenderer(id of `subject`)
    GROW_INPUT,      // updateVertexInputBufferInRenderer(id of `subject`) with 8 vertices
    SHRINK_INPUT,    // the same with 2 vertices
    UPDATE_NO_INPUT, // updateVertexInputBufferInRenderer(RENDERER_INVALID_ID)
    CREATE_INDICES,  // createIndexBufferInRendererWithData, 6 indices
    DELETE_INDICES,
    GROW_INDICES, // updateIndexBufferInRenderer with 12 indices
};

// What a step must hand back: the id of an earlier step, or one no live buffer has.
enum { FRESH = -1, NONE = -2 };

struct Step {
    StepKind kind;
    int subject;  // step whose id the call acts on
    int expected; // step whose id comes back, FRESH, or NONE for the deletes
};

const Step kScript[] = {
    {CREATE_INPUT, 0, FRESH},   // 0: a
    {CREATE_INPUT, 0, FRESH},   // 1: b
    {CREATE_INPUT, 0, FRESH},   // 2: c
    {DELETE_INPUT, 1, NONE},    // 3: b released
    {DELETE_INPUT, 0, NONE},    // 4: then a
    {CREATE_INPUT, 0, 0},       // 5: last released first: a
    {CREATE_INPUT, 0, 1},       // 6: then b
    {CREATE_INPUT, 0, FRESH},   // 7: the stack is empty again
    {DELETE_INPUT, 2, NONE},    // 8: c released ...
    {DELETE_INPUT, 2, NONE},    // 9: ... twice, which releases it once
    {CREATE_INPUT, 0, 2},       // 10: c
    {CREATE_INPUT, 0, FRESH},   // 11: not c again
    {GROW_INPUT, 5, 5},         // 12: a larger update keeps the id
    {SHRINK_INPUT, 5, 5},       // 13: so does a smaller one
    {DELETE_INPUT, 6, NONE},    // 14: b released
    {GROW_INPUT, 5, 5},         // 15: growing a takes a's own id back, not b's
    {UPDATE_NO_INPUT, 0, 6},    // 16: an update of no buffer creates one: b's released id
    {CREATE_INDICES, 0, FRESH}, // 17: i
    {CREATE_INDICES, 0, FRESH}, // 18: j
    {DELETE_INDICES, 17, NONE}, // 19: i released
    {GROW_INDICES, 18, 18},     // 20: growing j keeps j
    {CREATE_INDICES, 0, 17},    // 21: i
    {CREATE_INDICES, 0, FRESH}, // 22
};

const char* const kKindNames[] = {"create input",       "delete input",   "grow input",     "shrink input",
                                  "update of no input", "create indices", "delete indices", "grow indices"};

bool isInput(StepKind kind) { return kind <= UPDATE_NO_INPUT; }

} // namespace

std::string runHandleReuseScript(const RendererApi& api, RendererState* state) {
    const float vertices[8 * 11] = {};
    const uint32_t indices[12] = {0, 1, 2, 0, 2, 1, 0, 1, 2, 0, 2, 1};
    const size_t count = sizeof(kScript) / sizeof(kScript[0]);
    std::vector<uint32_t> ids(count, RENDERER_INVALID_ID);
    std::vector<bool> live(count, false);
    for (size_t s = 0; s < count; ++s) {
        const Step& step = kScript[s];
        const uint32_t subject = ids[static_cast<size_t>(step.subject)];
        uint32_t id = RENDERER_INVALID_ID;
        switch (step.kind) {
        case CREATE_INPUT:
            id = api.createVertexInputBufferInRenderer(state, 4, vertices, 0);
            break;
        case DELETE_INPUT:
            api.deleteVertexInputBufferInRenderer(state, subject);
            break;
        case GROW_INPUT:
            id = api.updateVertexInputBufferInRenderer(state, subject, 8, vertices, 0);
            break;
        case SHRINK_INPUT:
            id = api.updateVertexInputBufferInRenderer(state, subject, 2, vertices, 0);
            break;
        case UPDATE_NO_INPUT:
            id = api.updateVertexInputBufferInRenderer(state, RENDERER_INVALID_ID, 4, vertices, 0);
            break;
        case CREATE_INDICES:
            id = api.createIndexBufferInRendererWithData(state, 6, indices);
            break;
        case DELETE_INDICES:
            api.deleteIndexBufferInRenderer(state, subject);
            break;
        case GROW_INDICES:
            id = api.updateIndexBufferInRenderer(state, subject, 12, indices);
            break;
        }
        char failure[160];
        if (step.expected == NONE) {
            // The buffer the delete released is no longer live.
            for (size_t earlier = 0; earlier < s; ++earlier)
                if (ids[earlier] == subject && isInput(kScript[earlier].kind) == isInput(step.kind))
                    live[earlier] = false;
            continue;
        }
        ids[s] = id;
        if (id == RENDERER_INVALID_ID) {
            snprintf(failure, sizeof(failure), "step %zu (%s) handed back no id", s, kKindNames[step.kind]);
            return failure;
        }
        if (step.expected == FRESH) {
            for (size_t earlier = 0; earlier < s; ++earlier)
                if (live[earlier] && ids[earlier] == id && isInput(kScript[earlier].kind) == isInput(step.kind)) {
                    snprintf(failure, sizeof(failure), "step %zu (%s) handed back %u, the id of live step %zu", s,
                             kKindNames[step.kind], id, earlier);
                    return failure;
                }
        } else if (id != ids[static_cast<size_t>(step.expected)]) {
            snprintf(failure, sizeof(failure), "step %zu (%s) handed back %u, expected %u (step %d)", s,
                     kKindNames[step.kind], id, ids[static_cast<size_t>(step.expected)], step.expected);
            return failure;
        }
        // The id now names this step's buffer: earlier steps with it are the same buffer.
        for (size_t earlier = 0; earlier < s; ++earlier)
            if (ids[earlier] == id && isInput(kScript[earlier].kind) == isInput(step.kind)) live[earlier] = false;
        live[s] = true;
    }
    return std::string();
}
