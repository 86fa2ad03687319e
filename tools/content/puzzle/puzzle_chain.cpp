#include "tools/content/puzzle/puzzle_chain.h"

#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

bool stepError(char* error, size_t size, int line, const char* format, ...) {
    char detail[200];
    va_list args;
    va_start(args, format);
    vsnprintf(detail, sizeof(detail), format, args);
    va_end(args);
    snprintf(error, size, "chain line %d: %s", line, detail);
    return false;
}

// Splits off the next word; returns its length (0 at the end of the line).
size_t nextWord(const char** p, char* out, size_t capacity) {
    while (**p == ' ' || **p == '\t') ++*p;
    size_t n = 0;
    while (**p && **p != ' ' && **p != '\t') {
        if (n + 1 < capacity) out[n++] = **p;
        ++*p;
    }
    out[n] = 0;
    return n;
}

void restOfLine(const char* p, char* out, size_t capacity) {
    while (*p == ' ' || *p == '\t') ++p;
    size_t n = strlen(p);
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\t')) --n;
    if (n >= capacity) n = capacity - 1;
    memcpy(out, p, n);
    out[n] = 0;
}

bool fail(StepOutcome* outcome, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(outcome->message, sizeof(outcome->message), format, args);
    va_end(args);
    outcome->ok = false;
    return false;
}

// A click as the game sees it: the frame the button goes down, then one more frame
// with it held.
void applyClick(PuzzleWorld* world, int monitor, float u, float v, FrameEffects* first) {
    FrameInput input = {monitor, u, v, true, false, -1, false};
    applyMonitorFrame(world, &input, first);
    FrameEffects held;
    applyMonitorFrame(world, &input, &held);
}

bool clickTarget(PuzzleWorld* world, int monitor, ClickTarget target, StepOutcome* outcome, const char* what) {
    ClickChoice choice;
    if (!findClickPoint(world, monitor, ACTION_CLICK, -1, target, &choice))
        return fail(outcome, "no point of monitor %d (camera %s) reaches %s", monitor,
                    world->cameras[world->monitors[monitor].camera].name, what);
    FrameEffects effects;
    applyClick(world, monitor, choice.u, choice.v, &effects);
    outcome->actions.push_back(PlanAction{PLAN_CLICK, monitor, choice.u, choice.v, -1, 0, 0.0f, choice});
    return true;
}

} // namespace

const char* chainStepVerb(ChainStepKind kind) {
    switch (kind) {
    case STEP_POINT: return "point";
    case STEP_CAMERA: return "camera";
    case STEP_ARROW: return "left or right";
    case STEP_OPEN: return "open";
    case STEP_TAKE: return "take";
    case STEP_USE: return "use";
    case STEP_READ: return "read";
    case STEP_TYPE: return "type";
    case STEP_WAIT: return "wait";
    case STEP_LOOK: return "look";
    case STEP_END: return "end";
    }
    return "?";
}

bool parseChain(const char* text, std::vector<ChainStep>* steps, char* error, size_t errorSize) {
    steps->clear();
    int lineNumber = 0;
    const char* p = text;
    while (*p) {
        ++lineNumber;
        char line[256];
        size_t n = 0;
        while (*p && *p != '\n') {
            if (n + 1 < sizeof(line)) line[n++] = *p;
            ++p;
        }
        if (*p == '\n') ++p;
        line[n] = 0;
        char* hash = strchr(line, '#');
        if (hash) *hash = 0;
        const char* q = line;
        char word[64];
        if (!nextWord(&q, word, sizeof(word))) continue;
        ChainStep step = {};
        step.line = lineNumber;
        step.monitor = -1;
        if (isdigit((unsigned char)word[0])) {
            if (word[1] != 0 || word[0] > '3') return stepError(error, errorSize, lineNumber, "monitor %s is not 0 to 3", word);
            step.monitor = word[0] - '0';
            if (!nextWord(&q, word, sizeof(word))) return stepError(error, errorSize, lineNumber, "no action");
        }
        bool needsMonitor = true;
        if (strcmp(word, "camera") == 0 || strcmp(word, "point") == 0) {
            // Camera names hold spaces: the name is the rest of the line.
            step.kind = word[0] == 'c' ? STEP_CAMERA : STEP_POINT;
            restOfLine(q, step.first, sizeof(step.first));
        } else if (strcmp(word, "left") == 0 || strcmp(word, "right") == 0) {
            step.kind = STEP_ARROW;
            step.direction = word[0] == 'l' ? -1 : 1;
        } else if (strcmp(word, "open") == 0 || strcmp(word, "take") == 0 || strcmp(word, "type") == 0) {
            step.kind = word[0] == 'o' ? STEP_OPEN : word[1] == 'a' ? STEP_TAKE : STEP_TYPE;
            nextWord(&q, step.first, sizeof(step.first));
        } else if (strcmp(word, "use") == 0) {
            step.kind = STEP_USE;
            nextWord(&q, step.first, sizeof(step.first));
            nextWord(&q, step.second, sizeof(step.second));
            if (!step.second[0]) return stepError(error, errorSize, lineNumber, "use needs an item and an object");
        } else if (strcmp(word, "read") == 0) {
            step.kind = STEP_READ;
            needsMonitor = false;
            nextWord(&q, step.first, sizeof(step.first));
        } else if (strcmp(word, "wait") == 0) {
            step.kind = STEP_WAIT;
            needsMonitor = false;
            char number[32];
            char* end = nullptr;
            if (nextWord(&q, number, sizeof(number))) step.seconds = strtof(number, &end);
            if (!end || *end || !(step.seconds > 0.0f && step.seconds <= kLongestChainWait))
                return stepError(error, errorSize, lineNumber, "wait needs seconds above 0 and up to %g",
                                 (double)kLongestChainWait);
        } else if (strcmp(word, "look") == 0) {
            step.kind = STEP_LOOK;
            needsMonitor = false;
        } else if (strcmp(word, "end") == 0) {
            step.kind = STEP_END;
            needsMonitor = false;
        } else {
            return stepError(error, errorSize, lineNumber, "unknown action \"%s\"", word);
        }
        if (needsMonitor && step.monitor < 0) return stepError(error, errorSize, lineNumber, "%s needs a monitor", word);
        if (!needsMonitor && step.monitor >= 0) return stepError(error, errorSize, lineNumber, "%s takes no monitor", word);
        bool named = step.kind != STEP_ARROW && step.kind != STEP_WAIT && step.kind != STEP_LOOK && step.kind != STEP_END;
        if (named && !step.first[0]) return stepError(error, errorSize, lineNumber, "%s needs a name", word);
        if (!named && nextWord(&q, word, sizeof(word)))
            return stepError(error, errorSize, lineNumber, "unexpected \"%s\"", word);
        steps->push_back(step);
    }
    return true;
}

bool parseChainFromDocument(const char* markdown, std::vector<ChainStep>* steps, char* error, size_t errorSize) {
    const char* start = strstr(markdown, "```chain\n");
    if (!start) {
        snprintf(error, errorSize, "no ```chain block in the document");
        return false;
    }
    start += strlen("```chain\n");
    const char* end = strstr(start, "\n```");
    if (!end) {
        snprintf(error, errorSize, "the ```chain block is not closed");
        return false;
    }
    std::vector<char> block(start, end + 1);
    block.push_back(0);
    // Line numbers count from the document's first line.
    int offset = 1;
    for (const char* c = markdown; c < start; ++c) offset += *c == '\n';
    if (!parseChain(block.data(), steps, error, errorSize)) return false;
    for (ChainStep& step : *steps) step.line += offset - 1;
    return true;
}

bool followChainStep(PuzzleWorld* world, const ChainStep* step, StepOutcome* outcome) {
    outcome->ok = true;
    outcome->message[0] = 0;
    outcome->actions.clear();
    int m = step->monitor;
    switch (step->kind) {
    case STEP_POINT: {
        // Whatever the name is, the cursor rests where that thing is what the picture
        // shows and what the game would label there.
        ClickTarget target = {PICK_CAMERA, findCamera(world, step->first)};
        if (target.index < 0) target = ClickTarget{PICK_INTERACTABLE, findInteractable(world, step->first)};
        if (target.index < 0) target = ClickTarget{PICK_ENTITY, findEntity(world, step->first)};
        if (target.index < 0) return fail(outcome, "nothing is named \"%s\"", step->first);
        if (target.kind == PICK_CAMERA && (int)world->monitors[m].camera == target.index)
            return fail(outcome, "monitor %d shows %s's own view, not its model", m, step->first);
        ClickChoice choice;
        if (!findClickPoint(world, m, ACTION_CLICK, -1, target, &choice))
            return fail(outcome, "no point of monitor %d (camera %s) shows %s", m,
                        world->cameras[world->monitors[m].camera].name, step->first);
        outcome->actions.push_back(PlanAction{PLAN_MOVE, m, choice.u, choice.v, -1, 0, 0.0f, choice});
        return true;
    }
    case STEP_WAIT:
        outcome->actions.push_back(PlanAction{PLAN_WAIT, -1, 0, 0, -1, 0, step->seconds, ClickChoice{}});
        return true;
    case STEP_LOOK:
        outcome->actions.push_back(PlanAction{PLAN_LOOK, -1, 0, 0, -1, 0, 0.0f, ClickChoice{}});
        return true;
    case STEP_CAMERA: {
        int c = findCamera(world, step->first);
        if (c < 0) return fail(outcome, "no camera named \"%s\"", step->first);
        if (!clickTarget(world, m, ClickTarget{PICK_CAMERA, c}, outcome, step->first)) return false;
        if ((int)world->monitors[m].camera != c) return fail(outcome, "monitor %d did not switch to %s", m, step->first);
        return true;
    }
    case STEP_ARROW: {
        applyArrow(world, m, step->direction);
        outcome->actions.push_back(PlanAction{PLAN_KEY, m, 0.5f, 0.5f, -1, step->direction, 0.0f, ClickChoice{}});
        return true;
    }
    case STEP_OPEN: {
        int i = findInteractable(world, step->first);
        if (i < 0) return fail(outcome, "no object named \"%s\"", step->first);
        if (world->interactables[i].done) return fail(outcome, "%s is already open", step->first);
        if (!clickTarget(world, m, ClickTarget{PICK_INTERACTABLE, i}, outcome, step->first)) return false;
        return world->interactables[i].done ? true : fail(outcome, "%s did not open", step->first);
    }
    case STEP_TAKE: {
        int e = findEntity(world, step->first);
        if (e < 0) return fail(outcome, "no entity named \"%s\"", step->first);
        if (!world->entities[e].pickable) return fail(outcome, "%s cannot be taken", step->first);
        if (!clickTarget(world, m, ClickTarget{PICK_ENTITY, e}, outcome, step->first)) return false;
        return inventorySlot(world, (uint32_t)e) >= 0 ? true : fail(outcome, "%s is not in the inventory", step->first);
    }
    case STEP_USE: {
        int e = findEntity(world, step->first), i = findInteractable(world, step->second);
        if (e < 0 || i < 0) return fail(outcome, "unknown item or object in \"%s %s\"", step->first, step->second);
        int slot = inventorySlot(world, (uint32_t)e);
        if (slot < 0) return fail(outcome, "%s is not in the inventory", step->first);
        ClickChoice choice;
        if (!findClickPoint(world, m, ACTION_DROP, e, ClickTarget{PICK_INTERACTABLE, i}, &choice))
            return fail(outcome, "no point of monitor %d (camera %s) opens %s with %s", m,
                        world->cameras[world->monitors[m].camera].name, step->second, step->first);
        FrameInput input = {m, choice.u, choice.v, false, false, e, false};
        FrameEffects effects;
        applyMonitorFrame(world, &input, &effects);
        outcome->actions.push_back(PlanAction{PLAN_DRAG, m, choice.u, choice.v, slot, 0, 0.0f, choice});
        if (!world->interactables[i].done) return fail(outcome, "%s did not open", step->second);
        return inventorySlot(world, (uint32_t)e) < 0 ? true : fail(outcome, "%s stayed in the inventory", step->first);
    }
    case STEP_READ: {
        int e = findEntity(world, step->first);
        int slot = e < 0 ? -1 : inventorySlot(world, (uint32_t)e);
        if (slot < 0) return fail(outcome, "%s is not in the inventory", step->first);
        outcome->actions.push_back(PlanAction{PLAN_HOVER, -1, 0, 0, slot, 0, 0.0f, ClickChoice{}});
        return true;
    }
    case STEP_TYPE: {
        for (const char* d = step->first; *d; ++d) {
            if (*d < '0' || *d > '9') return fail(outcome, "\"%s\" is not a row of digits", step->first);
            char name[32];
            snprintf(name, sizeof(name), "DigicodeButton%c", *d);
            int e = findEntity(world, name);
            if (e < 0) return fail(outcome, "no entity named %s", name);
            if (!clickTarget(world, m, ClickTarget{PICK_ENTITY, e}, outcome, name)) return false;
        }
        return true;
    }
    case STEP_END: {
        uint32_t done, required;
        requiredCounts(world, &done, &required);
        return done >= required ? true : fail(outcome, "only %u of %u required objects are done", done, required);
    }
    }
    return fail(outcome, "unknown step");
}
