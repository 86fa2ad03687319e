// The game's one state record and its parts. Built once by constructGame and
// loadGame, changed each frame by updateGame, drawn by renderGame.
#pragma once

#include "backend/renderer_types.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/assets/mesh.h"
#include "engine/assets/model_drawing.h"
#include "engine/assets/texture.h"
#include "engine/math/matrix.h"
#include "engine/text/font_atlas.h"
#include "engine/text/gui.h"
#include "engine/text/gui_widget.h"
#include "engine/text/language_file.h"
#include "engine/text/name_ids.h"
#include "game/nearest_pick.h"
#include "game/view_cache.h"

#include <stdint.h>

enum { MONITOR_COUNT = 4, HINT_FINAL_STEP = 7, KEYPAD_CODE_LENGTH = 4, NO_MONITOR = -1 };

// Every texture the game loads, once per path (the table owns the records, so
// pointers to them stay valid while it grows).
struct TextureTableEntry {
    char* path;
    Texture* texture;
};

struct TextureTable {
    uint32_t count;
    uint32_t capacity;
    TextureTableEntry* entries; // sorted bytewise by path, shorter first on a common prefix
};

struct LevelMesh {
    GpuMesh gpu;
    Texture* texture;
};

struct SubMesh {
    GpuMesh gpu;
    Texture* texture;
};

struct Interactable {
    char* name;
    char* openingItem; // empty: opened and closed by a click
    bool required;
    bool done;
    Vec3 openOffset;
    Vec3 position; // starts at the origin: the meshes are in world coordinates
    uint32_t subMeshCount;
    SubMesh* subMeshes;
    Mesh pickMesh;     // every sub-mesh merged, for ray tests
    int32_t monitorIndex; // monitor through which it was hit this frame, NO_MONITOR when none
};

struct Entity {
    char* name;
    int32_t id; // text id from the name table, -1 when the name has none
    Transform world;   // pose in the world
    Transform preview; // pose in the inventory preview
    bool pickable;
    Mesh mesh;
    GpuMesh gpu;
    Texture* texture;
    int32_t monitorIndex;
};

struct SecurityCamera {
    char* name;
    Vec3 position;
    Vec3 direction;
    float fieldOfView;
    Vec3 eye; // position lowered by 0.2
    Mat4 projection;
    Mat4 view;
    int32_t monitorIndex;
};

struct PanelPlacement {
    Vec3 position; // in the world
    Vec3 scale;
    Quat rotation;
};

struct Monitor {
    uint32_t camera; // index into the camera list
    uint32_t reachableCount;
    uint32_t reachableCapacity;
    uint32_t* reachable; // cameras reached on this monitor, in order
    PanelPlacement panel;
};

struct PlayerView {
    Vec3 position;
    Vec3 forward;
    Vec3 up;
    Mat4 projection;
    Mat4 view;
};

// What update reads of the input, taken once at its start.
struct InputSnapshot {
    bool leftDown;
    bool rightDown;
    int32_t cursorX; // render pixels from the left
    int32_t cursorY; // render pixels from the bottom
    uint16_t wheelUp;
    uint16_t wheelDown;
    bool escapeDown;
    bool leftKeyDown;
    bool rightKeyDown;
    int32_t arrowAxis; // -1 Left, +1 Right, 0 none (Left wins when both are down)
};

struct RenderTargets {
    FrameBufferRecord scene;
    FrameBufferRecord quarterA;
    FrameBufferRecord quarterB;
    FrameBufferRecord monitor[MONITOR_COUNT];
    FrameBufferRecord monitorScene;
    FrameBufferRecord eighthA;
    FrameBufferRecord eighthB;
    // The room's finished picture (the final blur of the scene target), 8 bits per
    // channel like the back buffer: copied to the back buffer every frame, under the
    // inventory and the texts, and drawn again only when the room changed.
    FrameBufferRecord finalPicture;
    FrameBufferRecord halfPicture; // the same at half size, while the head turns
};

// One record per program of kShaderProgramSpecs (game/shader_programs.h), in its order.
struct ShaderPrograms {
    ShaderRecord basicFixed;
    ShaderRecord basicDirectionalLight;
    ShaderRecord text;
    ShaderRecord color;
    ShaderRecord shadowmap;
    ShaderRecord finalBlur;      // the room's finished picture
    ShaderRecord horizontalBlur; // the bloom chains
    ShaderRecord verticalBlur;
    ShaderRecord bloomComposite;
    ShaderRecord onlyBright;
    ShaderRecord toneMapping;
    ShaderRecord copy; // the room's kept picture into the back buffer
};

struct GameState {
    ShaderPrograms shaders;
    TextureTable textures;

    uint32_t levelMeshCount;
    LevelMesh* levelMeshes;
    LevelPick levelPick; // every level mesh's triangles, kept for the walls that hide things from a click

    uint32_t interactableCount;
    Interactable* interactables;

    uint32_t entityCount;
    Entity* entities;
    uint32_t worldCount; // entities still in the world
    uint32_t worldCapacity;
    Entity** world;

    uint32_t cameraCount;
    SecurityCamera* cameras;
    Mesh cameraMesh;
    GpuMesh cameraGpu;
    Vec3 cameraModelScale;
    Quat cameraModelRotation;

    Monitor monitors[MONITOR_COUNT];
    PlayerView player;

    uint32_t inventoryCount;
    uint32_t inventoryCapacity;
    Entity** inventory;
    Entity* heldItem;      // dragged from the inventory bar, null when none
    Vec2 grabOffset;
    Entity* hoveredItem;   // under the cursor on the inventory bar this frame

    char typedDigits[KEYPAD_CODE_LENGTH];
    uint32_t typedCount;
    char keypadCode[KEYPAD_CODE_LENGTH];

    float playTime;
    int32_t hintStep;
    float hintTimer;
    bool endReached;
    bool paused;
    bool escapeHeld;
    bool leftArrowHandled;
    bool rightArrowHandled;
    bool clickConsumed;
    bool rightHeldLastFrame;
    int32_t lastMouseX;
    int32_t lastMouseY;
    InputSnapshot input;    // this frame's
    DynArray<PickCandidate> pickCandidates; // reused by every frame's picking
    uint32_t requiredCount; // this frame: interactables needed for the end
    uint32_t doneCount;     // and of those, the ones done

    Texture* whiteTexture;
    Texture* blackTexture;
    Mesh unitQuad;
    GpuMesh unitQuadGpu;
    Mat4 guiView;
    Mat4 guiProjection;

    uint32_t clientWidth;
    uint32_t clientHeight;
    RenderTargets targets;
    ViewCache viewCache; // which views the targets hold, to draw only what changed
    TextureDescription colorAttachment;
    TextureDescription depthAttachment;

    uint32_t languageNumber;
    bool languageLoaded; // false: the file was missing or refused, and loadGame fails
    LanguageFile language;
    NameIds names;
    FontAtlas largeFont; // 36 pixels at a client height of 720
    FontAtlas smallFont; // 20 pixels at a client height of 720
    GuiContext gui;
    GuiWidget menuButton;

    char loadFailure[256]; // why loadGame returned false
};
