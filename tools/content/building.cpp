#include "tools/content/building.h"

#include <math.h>
#include <stdlib.h>

namespace {

struct MaterialInfo {
    const char* path;
};

// Texture paths by material. Each file is written by the texture table (textures.cpp);
// the three image formats the game reads are all represented.
const MaterialInfo kMaterials[MAT_COUNT] = {
    {"data/textures/floor_tiles.png"},   {"data/textures/carpet.bmp"},       {"data/textures/concrete.dds"},
    {"data/textures/brick.bmp"},         {"data/textures/wall_paint.bmp"},   {"data/textures/ceiling.bmp"},
    {"data/textures/metal.png"},         {"data/textures/wood.dds"},         {"data/textures/stripes.png"},
    {"data/textures/white.png"},         {"data/textures/asphalt.bmp"},      {"data/textures/screen.png"},
    {"data/textures/crate.png"},         {"data/textures/locker_front.png"}, {"data/textures/sign_lockers.png"},
    {"data/textures/sign_storeroom.png"}, {"data/textures/sign_office.png"}, {"data/textures/sign_warehouse.png"},
    {"data/textures/sign_exit.png"},     {"data/textures/sign_security.png"}, {"data/textures/poster_plan.png"},
    {"data/textures/poster_safety.png"}, {"data/textures/poster_cameras.png"}, {"data/textures/whiteboard.png"},
    {"data/textures/numbers.png"},       {"data/textures/door_grey.png"},    {"data/textures/door_red.png"},
    {"data/textures/door_office.png"},   {"data/textures/door_exit.png"},    {"data/textures/shutter.png"},
};

const Vec3 kWhite = {1, 1, 1};
const Vec3 kLampGlow = {2.6f, 2.55f, 2.3f};
const Vec3 kFrameTint = {0.55f, 0.57f, 0.60f};

struct Strip {
    float s0, s1;
};

// One wall of a room: from origin along direction (unit, to the right of someone
// facing it from inside), length long.
struct Wall {
    Vec3 origin;
    Vec3 direction;
    float length;
    int axis;        // 0: runs along x, 1: along y
    float line;      // its y (axis 0) or x (axis 1)
};

void roomWalls(const Room* r, Wall walls[4]) {
    walls[0] = {vec3(r->x1, r->y0, kFloorZ), vec3(-1, 0, 0), r->x1 - r->x0, 0, r->y0}; // south, faces +y
    walls[1] = {vec3(r->x0, r->y1, kFloorZ), vec3(1, 0, 0), r->x1 - r->x0, 0, r->y1};  // north, faces -y
    walls[2] = {vec3(r->x0, r->y0, kFloorZ), vec3(0, 1, 0), r->y1 - r->y0, 1, r->x0};  // west, faces +x
    walls[3] = {vec3(r->x1, r->y1, kFloorZ), vec3(0, -1, 0), r->y1 - r->y0, 1, r->x1}; // east, faces -x
}

// Position along the wall of a world coordinate on its axis.
float alongWall(const Wall* w, float coordinate) {
    float origin = w->axis == 0 ? w->origin.x : w->origin.y;
    float d = w->axis == 0 ? w->direction.x : w->direction.y;
    return (coordinate - origin) * d;
}

struct Cut {
    float s0, s1, zBottom, zTop;
};

void emitWall(MeshBuilder* b, const Room* r, const Wall* w, const Cut* cuts, int cutCount) {
    float points[2 + 2 * OPENING_COUNT];
    int n = 0;
    points[n++] = 0;
    points[n++] = w->length;
    for (int i = 0; i < cutCount; ++i) {
        points[n++] = cuts[i].s0;
        points[n++] = cuts[i].s1;
    }
    // Sort the break points (few of them).
    for (int i = 1; i < n; ++i)
        for (int j = i; j > 0 && points[j] < points[j - 1]; --j) {
            float t = points[j];
            points[j] = points[j - 1];
            points[j - 1] = t;
        }
    float height = r->ceilingZ - kFloorZ;
    for (int i = 0; i + 1 < n; ++i) {
        float a = points[i], c = points[i + 1];
        if (c - a < 1e-4f) continue;
        float mid = 0.5f * (a + c);
        const Cut* cut = nullptr;
        for (int k = 0; k < cutCount; ++k)
            if (mid > cuts[k].s0 && mid < cuts[k].s1) cut = &cuts[k];
        Vec3 base = add3(w->origin, scale3(w->direction, a));
        Vec3 right = scale3(w->direction, c - a);
        Vec2f uv = {a / r->wallTile, 0};
        if (!cut) {
            addPanel(b, base, right, vec3(0, 0, height), r->wallTint, r->wallTile, uv);
            continue;
        }
        if (cut->zBottom > kFloorZ + 1e-4f)
            addPanel(b, base, right, vec3(0, 0, cut->zBottom - kFloorZ), r->wallTint, r->wallTile, uv);
        if (cut->zTop < r->ceilingZ - 1e-4f) {
            Vec3 top = add3(base, vec3(0, 0, cut->zTop - kFloorZ));
            addPanel(b, top, right, vec3(0, 0, r->ceilingZ - cut->zTop), r->wallTint, r->wallTile,
                     Vec2f{uv.u, (cut->zTop - kFloorZ) / r->wallTile});
        }
    }
}

int zoneOfRoom(int room) { return room == ROOM_SECURITY ? ZONE_SECURITY_SHELL : ZONE_BUILDING; }

void buildRoomShell(LevelBuilder* level, int roomIndex) {
    const Room* r = &kRooms[roomIndex];
    int zone = zoneOfRoom(roomIndex);
    MeshBuilder* floor = levelPart(level, zone, r->floorMaterial);
    addPanel(floor, vec3(r->x0, r->y0, kFloorZ), vec3(r->x1 - r->x0, 0, 0), vec3(0, r->y1 - r->y0, 0), r->floorTint,
             r->floorTile, Vec2f{r->x0 / r->floorTile, r->y0 / r->floorTile});
    MeshBuilder* ceiling = levelPart(level, zone, r->ceilingMaterial);
    addPanel(ceiling, vec3(r->x0, r->y1, r->ceilingZ), vec3(r->x1 - r->x0, 0, 0), vec3(0, r->y0 - r->y1, 0),
             r->ceilingTint, 2.0f, Vec2f{r->x0 / 2.0f, -r->y1 / 2.0f});
    Wall walls[4];
    roomWalls(r, walls);
    MeshBuilder* wallMesh = levelPart(level, zone, r->wallMaterial);
    for (int i = 0; i < 4; ++i) {
        Cut cuts[OPENING_COUNT];
        int cutCount = 0;
        for (int k = 0; k < OPENING_COUNT; ++k) {
            const Opening* o = &kOpenings[k];
            if (o->axis != walls[i].axis || fabsf(o->line - walls[i].line) > 0.75f * kWallGap) continue;
            float s0 = alongWall(&walls[i], o->lo), s1 = alongWall(&walls[i], o->hi);
            if (s0 > s1) {
                float t = s0;
                s0 = s1;
                s1 = t;
            }
            if (s1 <= 0 || s0 >= walls[i].length) continue;
            cuts[cutCount++] = {fmaxf(s0, 0), fminf(s1, walls[i].length), o->zBottom, o->zTop};
        }
        emitWall(wallMesh, r, &walls[i], cuts, cutCount);
    }
}

// Point on an opening: along the wall at a, across it at c (from line), height z.
Vec3 openingPoint(const Opening* o, float along, float across, float z) {
    return o->axis == 0 ? vec3(along, o->line + across, z) : vec3(o->line + across, along, z);
}

Vec3 boxAround(const Opening* o, float a0, float a1, float c0, float c1, float z0, float z1, Vec3* hi) {
    Vec3 p = openingPoint(o, a0, c0, z0), q = openingPoint(o, a1, c1, z1);
    *hi = vec3(fmaxf(p.x, q.x), fmaxf(p.y, q.y), fmaxf(p.z, q.z));
    return vec3(fminf(p.x, q.x), fminf(p.y, q.y), fminf(p.z, q.z));
}

// Reveals across the wall gap and a protruding frame on each side.
void buildOpeningFrame(LevelBuilder* level, int index) {
    const Opening* o = &kOpenings[index];
    int zone = index == OPENING_SECURITY_DOOR ? ZONE_SECURITY_SHELL : ZONE_BUILDING;
    MeshBuilder* metal = levelPart(level, zone, MAT_METAL);
    float g = 0.5f * kWallGap;
    Vec3 hi;
    Vec3 lo = boxAround(o, o->lo - 0.02f, o->lo, -g, g, o->zBottom, o->zTop, &hi);
    addBox(metal, lo, hi, kFrameTint, 1.0f);
    lo = boxAround(o, o->hi, o->hi + 0.02f, -g, g, o->zBottom, o->zTop, &hi);
    addBox(metal, lo, hi, kFrameTint, 1.0f);
    lo = boxAround(o, o->lo - 0.02f, o->hi + 0.02f, -g, g, o->zTop, o->zTop + 0.02f, &hi);
    addBox(metal, lo, hi, kFrameTint, 1.0f);
    // Threshold over the gap between the two floors.
    lo = boxAround(o, o->lo, o->hi, -g, g, o->zBottom - 0.02f, o->zBottom + 0.005f, &hi);
    addBox(metal, lo, hi, vec3(0.4f, 0.4f, 0.42f), 1.0f, FACE_POS_Z);
    for (int side = -1; side <= 1; side += 2) {
        if (side > 0 && o->outsideBehind) continue;
        float c0 = side < 0 ? -g - 0.03f : g, c1 = side < 0 ? -g : g + 0.03f;
        lo = boxAround(o, o->lo - 0.09f, o->lo, c0, c1, o->zBottom, o->zTop + 0.09f, &hi);
        addBox(metal, lo, hi, kFrameTint, 1.0f);
        lo = boxAround(o, o->hi, o->hi + 0.09f, c0, c1, o->zBottom, o->zTop + 0.09f, &hi);
        addBox(metal, lo, hi, kFrameTint, 1.0f);
        lo = boxAround(o, o->lo, o->hi, c0, c1, o->zTop, o->zTop + 0.09f, &hi);
        addBox(metal, lo, hi, kFrameTint, 1.0f);
    }
}

void addLamp(LevelBuilder* level, int zone, float x, float y, float ceilingZ, float length, bool alongX) {
    float hx = alongX ? 0.5f * length : 0.16f, hy = alongX ? 0.16f : 0.5f * length;
    addBox(levelPart(level, zone, MAT_METAL), vec3(x - hx - 0.03f, y - hy - 0.03f, ceilingZ - 0.05f),
           vec3(x + hx + 0.03f, y + hy + 0.03f, ceilingZ), vec3(0.8f, 0.8f, 0.82f), 1.0f,
           FACE_ALL & ~FACE_POS_Z & ~FACE_NEG_Z);
    addBox(levelPart(level, zone, MAT_WHITE), vec3(x - hx, y - hy, ceilingZ - 0.055f), vec3(x + hx, y + hy, ceilingZ),
           kLampGlow, 1.0f, FACE_NEG_Z);
}

// A sign or poster flat on a wall: centre (along, z) on the face of wall (room, side).
// side 0 south (faces +y), 1 north (faces -y), 2 west (faces +x), 3 east (faces -x).
void addWallPicture(LevelBuilder* level, int zone, int material, int room, int side, float along, float z,
                    float width, float height, Vec3 colour) {
    const Room* r = &kRooms[room];
    Wall walls[4];
    roomWalls(r, walls);
    const Wall* w = &walls[side];
    float s = alongWall(w, along) - 0.5f * width;
    Vec3 inward = cross3(w->direction, vec3(0, 0, 1));
    Vec3 origin = add3(add3(w->origin, scale3(w->direction, s)), vec3(0, 0, z - 0.5f * height - kFloorZ));
    origin = add3(origin, scale3(inward, 0.012f));
    addFittedPanel(levelPart(level, zone, material), origin, scale3(w->direction, width), vec3(0, 0, height), colour);
}

// Table or desk: top slab and four legs.
void addTable(LevelBuilder* level, int zone, float x0, float y0, float x1, float y1, float height, int topMaterial,
              Vec3 topTint) {
    float z = kFloorZ + height;
    addBox(levelPart(level, zone, topMaterial), vec3(x0, y0, z - 0.05f), vec3(x1, y1, z), topTint, 1.0f);
    MeshBuilder* metal = levelPart(level, zone, MAT_METAL);
    const float l = 0.05f;
    float xs[2] = {x0 + 0.04f, x1 - 0.04f - l}, ys[2] = {y0 + 0.04f, y1 - 0.04f - l};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            addBox(metal, vec3(xs[i], ys[j], kFloorZ), vec3(xs[i] + l, ys[j] + l, z - 0.05f), vec3(0.3f, 0.3f, 0.32f),
                   1.0f, FACE_ALL & ~FACE_NEG_Z & ~FACE_POS_Z);
}

// Open shelf rack: four posts and levels of boards.
void addRack(LevelBuilder* level, int zone, float x0, float y0, float x1, float y1, float height, int levels,
             Vec3 frameTint, int boardMaterial, Vec3 boardTint) {
    MeshBuilder* metal = levelPart(level, zone, MAT_METAL);
    const float p = 0.05f;
    float xs[2] = {x0, x1 - p}, ys[2] = {y0, y1 - p};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            addBox(metal, vec3(xs[i], ys[j], kFloorZ), vec3(xs[i] + p, ys[j] + p, kFloorZ + height), frameTint, 1.0f,
                   FACE_ALL & ~FACE_NEG_Z);
    for (int k = 0; k < levels; ++k) {
        float z = kFloorZ + 0.12f + k * (height - 0.15f) / (levels > 1 ? levels - 1 : 1);
        addBox(levelPart(level, zone, boardMaterial), vec3(x0, y0, z - 0.03f), vec3(x1, y1, z), boardTint, 1.0f);
    }
}

void addCrateBox(LevelBuilder* level, int zone, Vec3 lo, Vec3 hi, Vec3 tint) {
    addFittedBox(levelPart(level, zone, MAT_CRATE), lo, hi, tint);
}

// Mounting pole from a camera up to its room's ceiling.
void buildCameraPoles(LevelBuilder* level) {
    for (int i = 0; i < CAMERA_COUNT; ++i) {
        const CameraSpot* c = &kCameras[i];
        float top = kRooms[c->room].ceilingZ;
        float bottom = c->position.z + 0.09f;
        if (top <= bottom) continue;
        MeshBuilder* metal = levelPart(level, zoneOfRoom(c->room), MAT_METAL);
        addCylinder(metal, vec3(c->position.x, c->position.y, bottom), 0.03f, top - bottom, 8, vec3(0.7f, 0.7f, 0.72f));
        addCylinder(metal, vec3(c->position.x, c->position.y, top - 0.02f), 0.09f, 0.02f, 12, vec3(0.7f, 0.7f, 0.72f));
    }
}

void buildSecurityRoom(LevelBuilder* level) {
    const int z = ZONE_SECURITY_FURNITURE;
    // The console under the monitors.
    addBox(levelPart(level, z, MAT_METAL), vec3(0.95f, -2.25f, kFloorZ), vec3(1.95f, 2.05f, 1.82f),
           vec3(0.32f, 0.35f, 0.40f), 1.0f, FACE_ALL & ~FACE_NEG_Z);
    addBox(levelPart(level, z, MAT_WOOD), vec3(0.88f, -2.3f, 1.82f), vec3(2.0f, 2.1f, 1.87f), vec3(0.55f, 0.42f, 0.33f),
           1.2f);
    addBox(levelPart(level, z, MAT_WHITE), vec3(1.0f, -0.65f, 1.87f), vec3(1.22f, 0.15f, 1.89f),
           vec3(0.12f, 0.12f, 0.13f), 1.0f);
    addBox(levelPart(level, z, MAT_WHITE), vec3(1.05f, 0.35f, 1.87f), vec3(1.15f, 0.42f, 1.9f),
           vec3(0.15f, 0.15f, 0.16f), 1.0f);
    // A row of status lights along the console's front edge.
    for (int i = 0; i < 8; ++i) {
        float y = -1.9f + i * 0.5f;
        Vec3 glow = (i % 3 == 0) ? vec3(0.4f, 2.2f, 0.5f) : vec3(2.4f, 1.6f, 0.3f);
        addBox(levelPart(level, z, MAT_WHITE), vec3(0.87f, y, 1.6f), vec3(0.95f, y + 0.06f, 1.64f), glow, 1.0f,
               FACE_NEG_X);
    }
    // Bezels behind the four panels, slightly larger than them, and their arms.
    for (int k = 0; k < 4; ++k) {
        PanelPlacement p = monitorPanelPlacement(k);
        bool upper = (k % 2) == 0;
        MeshBuilder bezel;
        float w = p.scale.x;
        float bottom = upper ? 0.012f : 0.05f, top = upper ? 0.05f : 0.012f;
        addBox(&bezel, vec3(-0.05f, -bottom, -0.07f), vec3(w + 0.05f, 1.0f + top, -0.006f), vec3(0.07f, 0.07f, 0.08f),
               1.0f);
        transformBuilder(&bezel, &p.rotation, p.position);
        appendBuilder(levelPart(level, z, MAT_METAL), &bezel);
        Vec3 back = panelPoint(k, 0.5f, 0.5f);
        Vec3 normal = vec3(0, 0, 1);
        rotateByQuaternion(&p.rotation, &normal);
        back = sub3(back, scale3(normal, 0.09f));
        // Lower monitors stand on the console, upper ones hang from the ceiling: each
        // arm stays behind its own panel, where a lower panel leaning back would
        // otherwise show the upper one's arm in front of its picture.
        float armBottom = upper ? back.z : 1.87f;
        float armTop = upper ? kRooms[ROOM_SECURITY].ceilingZ : back.z;
        addBox(levelPart(level, z, MAT_METAL), vec3(back.x - 0.04f, back.y - 0.04f, armBottom),
               vec3(back.x + 0.04f, back.y + 0.04f, armTop), vec3(0.2f, 0.2f, 0.22f), 1.0f, FACE_ALL);
    }
    const int s = ZONE_SECURITY_SHELL;
    addLamp(level, s, -0.6f, -1.2f, kRooms[ROOM_SECURITY].ceilingZ, 1.2f, true);
    addLamp(level, s, -0.6f, 1.2f, kRooms[ROOM_SECURITY].ceilingZ, 1.2f, true);
    // The closed door to the corridor (decor: it never opens).
    const Opening* door = &kOpenings[OPENING_SECURITY_DOOR];
    addFittedBox(levelPart(level, s, MAT_DOOR_GREY), vec3(door->lo, door->line - 0.03f, door->zBottom),
                 vec3(door->hi, door->line + 0.03f, door->zTop), kWhite);
    // Posters: the camera list large on the north wall, to the player's left and clear
    // of the monitors seen from the chair, so that it reads from there; the building
    // plan on the south wall, to the right; safety on the west.
    addWallPicture(level, s, MAT_POSTER_CAMERAS, ROOM_SECURITY, 1, 0.6f, 2.62f, 1.24f, 2.48f, kWhite);
    addWallPicture(level, s, MAT_POSTER_PLAN, ROOM_SECURITY, 0, 1.5f, 2.75f, 1.2f, 0.9f, kWhite);
    addWallPicture(level, s, MAT_POSTER_SAFETY, ROOM_SECURITY, 2, -1.2f, 2.5f, 0.6f, 0.85f, kWhite);
    // Shelf with binders on the west wall, and a filing cabinet in the south-west corner.
    addRack(level, s, -1.78f, 0.2f, -1.4f, 1.8f, 1.8f, 4, vec3(0.4f, 0.4f, 0.42f), MAT_WOOD, vec3(0.7f, 0.6f, 0.5f));
    static const Vec3 kBinders[5] = {{0.8f, 0.2f, 0.2f}, {0.2f, 0.35f, 0.8f}, {0.2f, 0.6f, 0.3f},
                                     {0.85f, 0.7f, 0.2f}, {0.5f, 0.5f, 0.55f}};
    for (int shelf = 0; shelf < 3; ++shelf)
        for (int i = 0; i < 10; ++i) {
            float y = 0.3f + i * 0.14f, z0 = kFloorZ + 0.12f + shelf * (1.65f / 3.0f);
            addBox(levelPart(level, s, MAT_WHITE), vec3(-1.72f, y, z0), vec3(-1.45f, y + 0.1f, z0 + 0.3f),
                   kBinders[(i + shelf * 2) % 5], 1.0f);
        }
    addBox(levelPart(level, s, MAT_METAL), vec3(-1.75f, -2.35f, kFloorZ), vec3(-1.05f, -1.75f, 2.3f),
           vec3(0.5f, 0.52f, 0.55f), 1.0f, FACE_ALL & ~FACE_NEG_Z);
    for (int i = 0; i < 3; ++i)
        addBox(levelPart(level, s, MAT_METAL), vec3(-1.2f, -2.2f, 1.25f + i * 0.4f), vec3(-1.03f, -1.9f, 1.3f + i * 0.4f),
               vec3(0.8f, 0.8f, 0.82f), 1.0f);
    // A coffee machine on a small table by the south wall.
    addTable(level, s, -0.6f, -2.35f, 0.4f, -1.8f, 0.9f, MAT_WOOD, vec3(0.6f, 0.5f, 0.4f));
    addBox(levelPart(level, s, MAT_METAL), vec3(-0.4f, -2.3f, 1.9f), vec3(-0.05f, -1.95f, 2.35f),
           vec3(0.2f, 0.2f, 0.22f), 1.0f);
    addBox(levelPart(level, s, MAT_WHITE), vec3(-0.3f, -1.96f, 2.2f), vec3(-0.15f, -1.94f, 2.25f),
           vec3(0.3f, 2.0f, 2.5f), 1.0f, FACE_POS_Y);
}

void buildCorridors(LevelBuilder* level) {
    const int z = ZONE_BUILDING;
    for (float x : {0.6f, 3.6f, 6.6f}) addLamp(level, z, x, 3.7f, kRooms[ROOM_CORRIDOR_WEST].ceilingZ, 1.4f, true);
    for (float x : {10.0f, 13.0f, 15.0f}) addLamp(level, z, x, 3.7f, kRooms[ROOM_CORRIDOR_EAST].ceilingZ, 1.4f, true);
    // Signs over the doors, readable from the corridor cameras.
    addWallPicture(level, z, MAT_SIGN_LOCKERS, ROOM_CORRIDOR_WEST, 1, 4.1f, 3.72f, 1.3f, 0.33f, kWhite);
    addWallPicture(level, z, MAT_SIGN_STOREROOM, ROOM_CORRIDOR_WEST, 0, 4.1f, 3.72f, 1.3f, 0.33f, kWhite);
    addWallPicture(level, z, MAT_SIGN_SECURITY, ROOM_CORRIDOR_WEST, 0, -0.7f, 3.45f, 1.3f, 0.33f, kWhite);
    addWallPicture(level, z, MAT_SIGN_OFFICE, ROOM_CORRIDOR_EAST, 1, 11.9f, 3.75f, 1.3f, 0.33f, kWhite);
    addWallPicture(level, z, MAT_SIGN_WAREHOUSE, ROOM_CORRIDOR_EAST, 0, 10.1f, 2.9f, 1.3f, 0.33f, kWhite);
    // Warning stripes in front of the warehouse shutter.
    addPanel(levelPart(level, z, MAT_STRIPES), vec3(11.0f, 2.6f, kFloorZ + 0.003f), vec3(1.8f, 0, 0), vec3(0, 0.45f, 0),
             kWhite, 0.45f, Vec2f{0, 0});
    // Badge reader beside the office door: a dark box and a red light.
    addBox(levelPart(level, z, MAT_METAL), vec3(12.6f, 4.72f, 2.15f), vec3(12.78f, 4.8f, 2.42f),
           vec3(0.15f, 0.15f, 0.17f), 1.0f);
    addBox(levelPart(level, z, MAT_WHITE), vec3(12.66f, 4.715f, 2.34f), vec3(12.72f, 4.72f, 2.38f),
           vec3(3.0f, 0.2f, 0.15f), 1.0f, FACE_NEG_Y);
    // Fire extinguisher and a bench in the west corridor.
    addCylinder(levelPart(level, z, MAT_WHITE), vec3(0.9f, 4.62f, 1.55f), 0.09f, 0.55f, 12, vec3(0.85f, 0.08f, 0.06f));
    addBox(levelPart(level, z, MAT_WHITE), vec3(0.85f, 4.6f, 2.08f), vec3(0.95f, 4.72f, 2.16f),
           vec3(0.1f, 0.1f, 0.1f), 1.0f);
    addTable(level, z, 6.4f, 2.62f, 7.9f, 3.02f, 0.45f, MAT_WOOD, vec3(0.7f, 0.55f, 0.4f));
    // Posters along the west corridor's north wall, and a notice board in the east one.
    addWallPicture(level, z, MAT_POSTER_SAFETY, ROOM_CORRIDOR_WEST, 1, -0.6f, 2.5f, 0.6f, 0.85f, kWhite);
    addWallPicture(level, z, MAT_POSTER_PLAN, ROOM_CORRIDOR_WEST, 1, 6.3f, 2.5f, 1.0f, 0.75f, kWhite);
    // A notice board in the east corridor.
    addWallPicture(level, z, MAT_POSTER_SAFETY, ROOM_CORRIDOR_EAST, 1, 9.6f, 2.5f, 0.6f, 0.85f, kWhite);
}

void buildLockerRoom(LevelBuilder* level) {
    const int z = ZONE_BUILDING;
    const Room* r = &kRooms[ROOM_LOCKERS];
    addLamp(level, z, 1.2f, 7.5f, r->ceilingZ, 1.4f, false);
    addLamp(level, z, 4.6f, 7.5f, r->ceilingZ, 1.4f, false);
    // Locker carcasses along the south wall, west of the door; their sliding doors
    // are interactables (scene.cpp) and slide west into the gaps between them.
    MeshBuilder* metal = levelPart(level, z, MAT_METAL);
    const Vec3 body = {0.30f, 0.42f, 0.62f};
    for (int i = 0; i < 4; ++i) {
        float x0 = kLockerFirstX + i * kLockerPitch, x1 = x0 + kLockerWidth;
        float y0 = r->y0, y1 = kLockerFrontY;
        addBox(metal, vec3(x0, y0, kFloorZ), vec3(x0 + 0.03f, y1, 3.0f), body, 1.0f);
        addBox(metal, vec3(x1 - 0.03f, y0, kFloorZ), vec3(x1, y1, 3.0f), body, 1.0f);
        addBox(metal, vec3(x0, y0, 2.97f), vec3(x1, y1, 3.0f), body, 1.0f);
        addBox(metal, vec3(x0, y0, kFloorZ), vec3(x1, y1, 1.1f), body, 1.0f);
        addBox(metal, vec3(x0, y0, kFloorZ), vec3(x1, y0 + 0.03f, 3.0f), vec3(0.2f, 0.25f, 0.32f), 1.0f);
        addBox(metal, vec3(x0, y0, 2.5f), vec3(x1, y1 - 0.05f, 2.53f), body, 1.0f);
    }
    // Between the lockers (and west of the first), a closed cabinet front that the door
    // of the locker east of it slides into: an open locker shows its empty inside and the
    // edge of its door, and no door ever lies over a neighbour.
    const Vec3 pocket = {0.24f, 0.33f, 0.5f};
    for (int i = 0; i < 4; ++i) {
        float east = kLockerFirstX + i * kLockerPitch, west = east - (kLockerPitch - kLockerWidth);
        addBox(metal, vec3(west, r->y0, kFloorZ), vec3(east, kLockerPocketFrontY, 3.0f),
               pocket, 1.0f, FACE_ALL & ~FACE_NEG_Y);
    }
    // Benches.
    addTable(level, z, -0.8f, 6.5f, 2.6f, 6.9f, 0.45f, MAT_WOOD, vec3(0.75f, 0.58f, 0.4f));
    addTable(level, z, 5.0f, 7.0f, 6.0f, 9.6f, 0.45f, MAT_WOOD, vec3(0.75f, 0.58f, 0.4f));
    // Coat hooks on the north wall and a mirror-like panel on the west wall.
    for (int i = 0; i < 6; ++i)
        addBox(metal, vec3(-1.2f + i * 0.5f, 9.9f, 2.6f), vec3(-1.16f + i * 0.5f, 10.0f, 2.64f), vec3(0.8f, 0.8f, 0.8f),
               1.0f);
    addWallPicture(level, z, MAT_WHITE, ROOM_LOCKERS, 2, 7.5f, 2.4f, 1.6f, 1.0f, vec3(0.55f, 0.65f, 0.75f));
    addWallPicture(level, z, MAT_POSTER_SAFETY, ROOM_LOCKERS, 1, 2.0f, 2.5f, 0.6f, 0.85f, kWhite);
}

void buildStoreroom(LevelBuilder* level) {
    const int z = ZONE_BUILDING;
    const Room* r = &kRooms[ROOM_STOREROOM];
    addLamp(level, z, 4.3f, 1.2f, r->ceilingZ, 1.2f, true);
    addRack(level, z, 2.62f, 0.15f, 3.1f, 2.1f, 2.3f, 4, vec3(0.25f, 0.45f, 0.8f), MAT_WOOD, vec3(0.7f, 0.6f, 0.5f));
    addRack(level, z, 5.5f, 0.15f, 5.98f, 1.6f, 2.3f, 4, vec3(0.25f, 0.45f, 0.8f), MAT_WOOD, vec3(0.7f, 0.6f, 0.5f));
    static const Vec3 kTints[4] = {{1, 1, 1}, {0.8f, 0.9f, 1}, {1, 0.9f, 0.75f}, {0.9f, 1, 0.85f}};
    for (int shelf = 0; shelf < 3; ++shelf) {
        float z0 = kFloorZ + 0.12f + shelf * (2.15f / 3.0f);
        for (int i = 0; i < 3; ++i) {
            float y = 0.25f + i * 0.6f;
            addCrateBox(level, z, vec3(2.68f, y, z0), vec3(3.05f, y + 0.45f, z0 + 0.35f), kTints[(i + shelf) % 4]);
        }
        for (int i = 0; i < 2; ++i) {
            float y = 0.25f + i * 0.65f;
            addCrateBox(level, z, vec3(5.55f, y, z0), vec3(5.93f, y + 0.5f, z0 + 0.3f), kTints[(i + shelf + 1) % 4]);
        }
    }
    // The tool board the crowbar hangs from (scene.cpp): a plywood board standing off
    // the bricks in a dark frame, so that it reads as a board and not a poster, and its
    // peg. Nothing else hangs there: a second tool would look as takeable as the crowbar.
    addBox(levelPart(level, z, MAT_WOOD), vec3(kToolBoardX0, kToolBoardFrontY, kToolBoardZ0),
           vec3(kToolBoardX1, r->y1, kToolBoardZ1), vec3(0.95f, 0.78f, 0.55f), 1.0f, FACE_ALL & ~FACE_POS_Y);
    const Vec3 frame = {0.2f, 0.16f, 0.12f};
    const float f = 0.04f, frontY = kToolBoardFrontY - 0.015f;
    addBox(levelPart(level, z, MAT_METAL), vec3(kToolBoardX0 - f, frontY, kToolBoardZ0 - f), vec3(kToolBoardX1 + f, r->y1, kToolBoardZ0),
           frame, 1.0f, FACE_ALL & ~FACE_POS_Y);
    addBox(levelPart(level, z, MAT_METAL), vec3(kToolBoardX0 - f, frontY, kToolBoardZ1), vec3(kToolBoardX1 + f, r->y1, kToolBoardZ1 + f),
           frame, 1.0f, FACE_ALL & ~FACE_POS_Y);
    addBox(levelPart(level, z, MAT_METAL), vec3(kToolBoardX0 - f, frontY, kToolBoardZ0), vec3(kToolBoardX0, r->y1, kToolBoardZ1), frame,
           1.0f, FACE_ALL & ~FACE_POS_Y);
    addBox(levelPart(level, z, MAT_METAL), vec3(kToolBoardX1, frontY, kToolBoardZ0), vec3(kToolBoardX1 + f, r->y1, kToolBoardZ1), frame,
           1.0f, FACE_ALL & ~FACE_POS_Y);
    addCylinderAlong(levelPart(level, z, MAT_METAL),
                     vec3(kCrowbarHangsAt.x, kToolBoardFrontY, kCrowbarHangsAt.z + kCrowbarPegAbove), vec3(0, -1, 0),
                     0.014f, 0.09f, 8, vec3(0.6f, 0.6f, 0.62f));
}

void buildOffice(LevelBuilder* level) {
    const int z = ZONE_BUILDING;
    const Room* r = &kRooms[ROOM_OFFICE];
    for (float x : {9.0f, 12.5f, 15.0f}) addLamp(level, z, x, 8.0f, r->ceilingZ, 1.4f, false);
    // Desks with screens and chairs; the first one stands beside the drawer pedestal.
    struct Desk {
        float x0, y0;
    };
    const Desk desks[4] = {{8.5f, kPedestalY0}, {8.5f, 9.0f}, {13.0f, 8.9f}, {13.0f, 5.6f}};
    for (const Desk& d : desks) {
        float x0 = d.x0, y0 = d.y0;
        addTable(level, z, x0, y0, x0 + 1.8f, y0 + 0.8f, 0.76f, MAT_WOOD, vec3(0.8f, 0.65f, 0.5f));
        float sx = x0 + 0.6f, sy = y0 + 0.55f;
        addBox(levelPart(level, z, MAT_METAL), vec3(sx, sy, 1.76f), vec3(sx + 0.6f, sy + 0.05f, 2.15f),
               vec3(0.1f, 0.1f, 0.11f), 1.0f);
        addFittedPanel(levelPart(level, z, MAT_SCREEN), vec3(sx + 0.03f, sy - 0.002f, 1.79f), vec3(0.54f, 0, 0),
                       vec3(0, 0, 0.33f), vec3(1.4f, 1.4f, 1.4f));
        addBox(levelPart(level, z, MAT_METAL), vec3(sx + 0.27f, sy + 0.05f, 1.76f), vec3(sx + 0.33f, sy + 0.12f, 1.9f),
               vec3(0.2f, 0.2f, 0.2f), 1.0f);
        float cx = x0 + 0.9f, cy = y0 - 0.35f;
        addBox(levelPart(level, z, MAT_WHITE), vec3(cx - 0.22f, cy - 0.22f, 1.45f), vec3(cx + 0.22f, cy + 0.22f, 1.52f),
               vec3(0.2f, 0.25f, 0.35f), 1.0f);
        addBox(levelPart(level, z, MAT_WHITE), vec3(cx - 0.22f, cy - 0.26f, 1.52f), vec3(cx + 0.22f, cy - 0.2f, 2.0f),
               vec3(0.2f, 0.25f, 0.35f), 1.0f);
        addCylinder(levelPart(level, z, MAT_METAL), vec3(cx, cy, kFloorZ), 0.03f, 0.45f, 8, vec3(0.3f, 0.3f, 0.3f));
    }
    // The drawer pedestal: carcass and the shelves between drawers; the drawers
    // themselves are interactables.
    MeshBuilder* metal = levelPart(level, z, MAT_METAL);
    const Vec3 grey = {0.55f, 0.58f, 0.62f};
    const float f = kPedestalFrontX, y0 = kPedestalY0, y1 = kPedestalY0 + 0.5f, top = drawerBottom(1) + kDrawerPitch;
    addBox(metal, vec3(f - 0.5f, y0, kFloorZ), vec3(f, y0 + 0.02f, top), grey, 1.0f);
    addBox(metal, vec3(f - 0.5f, y1 - 0.02f, kFloorZ), vec3(f, y1, top), grey, 1.0f);
    addBox(metal, vec3(f - 0.5f, y0, kFloorZ), vec3(f - 0.48f, y1, top), grey, 1.0f);
    addBox(metal, vec3(f - 0.5f, y0, top - 0.03f), vec3(f, y1, top), grey, 1.0f);
    for (int k = 1; k <= 3; ++k) {
        float zs = drawerBottom(k);
        addBox(metal, vec3(f - 0.5f, y0, zs - 0.02f), vec3(f, y1, zs), grey, 1.0f);
    }
    // Whiteboard with the team's notes, a cupboard and the building plan.
    addWallPicture(level, z, MAT_WHITEBOARD, ROOM_OFFICE, 2, 8.6f, 2.5f, 2.4f, 1.2f, kWhite);
    addBox(levelPart(level, z, MAT_WOOD), vec3(14.4f, 10.4f, kFloorZ), vec3(15.9f, 10.98f, 2.1f),
           vec3(0.7f, 0.55f, 0.42f), 1.0f, FACE_ALL & ~FACE_NEG_Z);
    addWallPicture(level, z, MAT_POSTER_PLAN, ROOM_OFFICE, 1, 11.0f, 2.5f, 1.0f, 0.75f, kWhite);
}

void buildWarehouse(LevelBuilder* level) {
    const int z = ZONE_BUILDING;
    const Room* r = &kRooms[ROOM_WAREHOUSE];
    for (float x : {8.5f, 12.0f, 14.8f})
        for (float y : {-3.5f, 0.0f}) {
            addCylinder(levelPart(level, z, MAT_METAL), vec3(x, y, r->ceilingZ - 0.9f), 0.02f, 0.9f, 6,
                        vec3(0.3f, 0.3f, 0.3f));
            addCylinder(levelPart(level, z, MAT_METAL), vec3(x, y, r->ceilingZ - 1.05f), 0.3f, 0.15f, 16,
                        vec3(0.25f, 0.28f, 0.3f));
            addBox(levelPart(level, z, MAT_WHITE), vec3(x - 0.22f, y - 0.22f, r->ceilingZ - 1.06f),
                   vec3(x + 0.22f, y + 0.22f, r->ceilingZ - 1.05f), kLampGlow, 1.0f, FACE_NEG_Z);
        }
    // Pillars, clear of the warehouse camera's view of the tool cabinet.
    for (float x : {8.0f, 13.6f})
        addBox(levelPart(level, z, MAT_CONCRETE), vec3(x - 0.25f, -2.75f, kFloorZ), vec3(x + 0.25f, -2.25f, r->ceilingZ),
               vec3(0.75f, 0.74f, 0.72f), 2.0f, FACE_ALL & ~FACE_NEG_Z & ~FACE_POS_Z);
    // Pallet racks along the south wall, loaded with crates.
    const Vec3 orange = {0.95f, 0.45f, 0.1f};
    for (int bay = 0; bay < 3; ++bay) {
        float x0 = 7.0f + bay * 2.8f;
        addRack(level, z, x0, -5.95f, x0 + 2.6f, -5.0f, 4.0f, 3, orange, MAT_WOOD, vec3(0.75f, 0.6f, 0.45f));
        for (int shelf = 0; shelf < 3; ++shelf) {
            float z0 = kFloorZ + 0.12f + shelf * (3.85f / 2.0f);
            for (int i = 0; i < 2; ++i) {
                if ((bay + shelf + i) % 4 == 3) continue;
                float x = x0 + 0.15f + i * 1.25f;
                addCrateBox(level, z, vec3(x, -5.85f, z0), vec3(x + 1.05f, -5.1f, z0 + 0.8f), vec3(1, 0.95f, 0.85f));
            }
        }
    }
    // Floor lines of the walkway.
    MeshBuilder* stripes = levelPart(level, z, MAT_STRIPES);
    addPanel(stripes, vec3(6.4f, -4.6f, kFloorZ + 0.003f), vec3(9.4f, 0, 0), vec3(0, 0.15f, 0), kWhite, 0.3f,
             Vec2f{0, 0});
    addPanel(stripes, vec3(11.0f, 1.6f, kFloorZ + 0.003f), vec3(1.8f, 0, 0), vec3(0, 0.6f, 0), kWhite, 0.6f,
             Vec2f{0, 0});
    // The tool cabinet's carcass (its sliding door is an interactable), standing free
    // with its front to the south.
    MeshBuilder* metal = levelPart(level, z, MAT_METAL);
    const Vec3 red = {0.75f, 0.12f, 0.1f};
    const float cx0 = kCabinetX0, cx1 = kCabinetX0 + kCabinetWidth, cf = kCabinetFrontY, cb = kCabinetFrontY + 0.45f;
    addBox(metal, vec3(cx0, cf, kFloorZ), vec3(cx0 + 0.03f, cb, 2.9f), red, 1.0f);
    addBox(metal, vec3(cx1 - 0.03f, cf, kFloorZ), vec3(cx1, cb, 2.9f), red, 1.0f);
    addBox(metal, vec3(cx0, cb - 0.03f, kFloorZ), vec3(cx1, cb, 2.9f), vec3(0.45f, 0.08f, 0.07f), 1.0f);
    addBox(metal, vec3(cx0, cf, 2.87f), vec3(cx1, cb, 2.9f), red, 1.0f);
    addBox(metal, vec3(cx0, cf, kFloorZ), vec3(cx1, cb, 1.1f), red, 1.0f);
    for (float zs : {1.8f, 2.4f}) addBox(metal, vec3(cx0 + 0.03f, cf + 0.02f, zs - 0.025f), vec3(cx1 - 0.03f, cb - 0.03f, zs), red, 1.0f);
    addBox(metal, vec3(cx0 - 1.1f, cf - 0.08f, 2.92f), vec3(cx1 + 0.02f, cf - 0.04f, 2.96f), vec3(0.6f, 0.6f, 0.62f), 1.0f);
    // A workbench east of the shutter and a rack of crates west of it, in the
    // warehouse camera's view.
    addTable(level, z, 13.2f, 1.5f, 15.7f, 2.3f, 0.9f, MAT_WOOD, vec3(0.7f, 0.55f, 0.4f));
    addRack(level, z, 6.4f, 1.5f, 9.4f, 2.35f, 3.2f, 3, orange, MAT_WOOD, vec3(0.75f, 0.6f, 0.45f));
    for (int shelf = 0; shelf < 3; ++shelf) {
        float z0 = kFloorZ + 0.12f + shelf * (3.05f / 2.0f);
        for (int i = 0; i < 3; ++i) {
            if ((shelf + i) % 3 == 2) continue;
            float x = 6.5f + i * 0.95f;
            addCrateBox(level, z, vec3(x, 1.6f, z0), vec3(x + 0.85f, 2.3f, z0 + 0.7f), vec3(1, 0.95f, 0.85f));
        }
    }
}

// A parked car on the ground at height ground, its nose towards -x at noseX, centred
// on y: body, cabin with dark windows, wheels and lights.
void addCar(LevelBuilder* level, float noseX, float y, float ground, Vec3 paint) {
    const int z = ZONE_BUILDING;
    const float length = 4.2f, halfWidth = 0.9f;
    MeshBuilder* white = levelPart(level, z, MAT_WHITE);
    addBox(white, vec3(noseX, y - halfWidth, ground + 0.3f), vec3(noseX + length, y + halfWidth, ground + 0.95f), paint,
           1.0f);
    addBox(white, vec3(noseX + 1.2f, y - halfWidth + 0.08f, ground + 0.95f),
           vec3(noseX + 3.4f, y + halfWidth - 0.08f, ground + 1.5f), vec3(0.12f, 0.16f, 0.22f), 1.0f);
    addBox(white, vec3(noseX + 1.25f, y - halfWidth + 0.1f, ground + 1.5f),
           vec3(noseX + 3.35f, y + halfWidth - 0.1f, ground + 1.55f), paint, 1.0f);
    for (float wx : {noseX + 0.8f, noseX + length - 0.8f})
        for (float side : {-1.0f, 1.0f})
            addCylinderAlong(white, vec3(wx, y + side * (halfWidth - 0.14f), ground + 0.33f), vec3(0, side, 0), 0.33f,
                             0.16f, 14, vec3(0.07f, 0.07f, 0.08f));
    // Headlights (a little glow) and a dark grille.
    for (float side : {-1.0f, 1.0f})
        addBox(white, vec3(noseX - 0.01f, y + side * 0.6f - 0.18f, ground + 0.7f),
               vec3(noseX, y + side * 0.6f + 0.18f, ground + 0.82f), vec3(1.6f, 1.55f, 1.3f), 1.0f, FACE_NEG_X);
    addBox(white, vec3(noseX - 0.01f, y - 0.35f, ground + 0.5f), vec3(noseX, y + 0.35f, ground + 0.65f),
           vec3(0.1f, 0.1f, 0.1f), 1.0f, FACE_NEG_X);
}

// A tree: trunk and a crown of three stacked boxes, turned a little against each other.
void addTree(LevelBuilder* level, float x, float y, float height) {
    const int z = ZONE_BUILDING;
    MeshBuilder* white = levelPart(level, z, MAT_WHITE);
    addCylinder(white, vec3(x, y, kFloorZ), 0.18f, 0.45f * height, 10, vec3(0.4f, 0.28f, 0.18f));
    for (int i = 0; i < 3; ++i) {
        float size = (0.42f - 0.1f * i) * height;
        Quat q = quaternionFromAxisAngle(vec3(0, 0, 1), 25.0f * i);
        Vec3 centre = vec3(x, y, kFloorZ + (0.55f + 0.2f * i) * height);
        addOrientedBox(white, centre, &q, vec3(size, size, 0.16f * height), vec3(0.2f + 0.04f * i, 0.5f - 0.03f * i, 0.18f));
    }
}

// Outdoors beyond the exit door: a pavement and its kerb, a car park with parked cars
// and a street lamp, trees, and an office block across it under the sky.
void buildOutdoors(LevelBuilder* level) {
    const int z = ZONE_BUILDING;
    const float kerbX = 24.6f;
    addPanel(levelPart(level, z, MAT_CONCRETE), vec3(22.2f, -20.0f, kFloorZ), vec3(kerbX - 22.2f, 0, 0),
             vec3(0, 50.0f, 0), vec3(0.95f, 0.93f, 0.88f), 1.2f, Vec2f{0, 0});
    addBox(levelPart(level, z, MAT_CONCRETE), vec3(kerbX - 0.15f, -20.0f, kFloorZ - 0.1f), vec3(kerbX, 30.0f, kFloorZ + 0.02f),
           vec3(0.9f, 0.9f, 0.88f), 1.0f, FACE_POS_Z | FACE_POS_X);
    // The car park sits a kerb lower than the pavement.
    const float parkZ = kFloorZ - 0.1f;
    addPanel(levelPart(level, z, MAT_ASPHALT), vec3(kerbX, -20.0f, parkZ), vec3(40.0f, 0, 0), vec3(0, 50.0f, 0),
             vec3(0.8f, 0.8f, 0.82f), 4.0f, Vec2f{0, 0});
    for (int i = 0; i < 9; ++i)
        addPanel(levelPart(level, z, MAT_WHITE), vec3(kerbX + 0.4f, -9.0f + i * 2.6f, parkZ + 0.005f), vec3(5.0f, 0, 0),
                 vec3(0, 0.12f, 0), vec3(0.95f, 0.95f, 0.9f), 1.0f, Vec2f{0, 0});
    // Cars in the bays nearest the door, which the keypad camera sees through it.
    addCar(level, kerbX + 0.7f, -1.05f, parkZ, vec3(0.8f, 0.1f, 0.08f));
    addCar(level, kerbX + 0.7f, -3.65f, parkZ, vec3(0.85f, 0.85f, 0.82f));
    addCar(level, kerbX + 0.7f, 4.15f, parkZ, vec3(0.15f, 0.3f, 0.7f));
    // A street lamp on the pavement.
    MeshBuilder* metal = levelPart(level, z, MAT_METAL);
    addCylinder(metal, vec3(23.6f, -2.4f, kFloorZ), 0.07f, 4.6f, 10, vec3(0.3f, 0.32f, 0.35f));
    addBox(metal, vec3(23.35f, -2.55f, kFloorZ + 4.5f), vec3(24.4f, -2.25f, kFloorZ + 4.65f), vec3(0.3f, 0.32f, 0.35f), 1.0f);
    addBox(levelPart(level, z, MAT_WHITE), vec3(23.95f, -2.5f, kFloorZ + 4.48f), vec3(24.35f, -2.3f, kFloorZ + 4.5f),
           vec3(2.6f, 2.5f, 2.0f), 1.0f, FACE_NEG_Z);
    // A low hedge along the far side of the car park, so that the keypad camera sees
    // open sky above it through the door; trees stand north of what the door shows.
    addBox(levelPart(level, z, MAT_WHITE), vec3(46.0f, -30.0f, parkZ), vec3(47.2f, 30.0f, parkZ + 1.1f),
           vec3(0.2f, 0.42f, 0.16f), 1.0f, FACE_NEG_X | FACE_POS_Z);
    for (int i = 0; i < 5; ++i) addTree(level, 31.0f + 3.5f * i, 6.5f + 1.2f * (i % 2), 4.5f + 0.6f * (i % 3));
}

void buildHall(LevelBuilder* level) {
    const int z = ZONE_BUILDING;
    const Room* r = &kRooms[ROOM_HALL];
    addLamp(level, z, 18.0f, 2.5f, r->ceilingZ, 1.4f, true);
    addLamp(level, z, 18.0f, 5.5f, r->ceilingZ, 1.4f, true);
    addLamp(level, z, 20.8f, 4.0f, r->ceilingZ, 1.4f, false);
    // Lit exit sign above the exit door.
    const Opening* exit = &kOpenings[OPENING_EXIT];
    addWallPicture(level, z, MAT_SIGN_EXIT, ROOM_HALL, 3, 0.5f * (exit->lo + exit->hi), exit->zTop + 0.32f, 1.2f, 0.3f,
                   vec3(1.8f, 1.8f, 1.8f));
    // Reception counter, and a notice poster.
    addBox(levelPart(level, z, MAT_WOOD), vec3(17.4f, 5.6f, kFloorZ), vec3(19.4f, 6.3f, 2.1f), vec3(0.7f, 0.5f, 0.35f),
           1.0f, FACE_ALL & ~FACE_NEG_Z);
    addBox(levelPart(level, z, MAT_WOOD), vec3(17.35f, 5.55f, 2.1f), vec3(19.45f, 6.35f, 2.15f),
           vec3(0.45f, 0.32f, 0.25f), 1.0f);
    addWallPicture(level, z, MAT_POSTER_SAFETY, ROOM_HALL, 0, 20.0f, 2.5f, 0.6f, 0.85f, kWhite);
    addWallPicture(level, z, MAT_POSTER_PLAN, ROOM_HALL, 1, 20.4f, 2.6f, 1.0f, 0.75f, kWhite);
    buildOutdoors(level);
}

} // namespace

const char* materialTexturePath(int material) {
    if (material < 0 || material >= MAT_COUNT) return kMaterials[MAT_WHITE].path;
    return kMaterials[material].path;
}

MeshBuilder* levelPart(LevelBuilder* level, int zone, int material) {
    if (zone < 0 || zone >= ZONE_COUNT) zone = ZONE_BUILDING;
    if (material < 0 || material >= MAT_COUNT) material = MAT_WHITE;
    return &level->parts[zone][material];
}

void addPanelUv(MeshBuilder* b, Vec3 origin, Vec3 right, Vec3 up, Vec3 colour, float u0, float v0, float u1,
                float v1) {
    addQuad(b, origin, add3(origin, right), add3(add3(origin, right), up), add3(origin, up), Vec2f{u0, v0},
            Vec2f{u1, v0}, Vec2f{u1, v1}, Vec2f{u0, v1}, colour);
}

void buildLevel(LevelBuilder* level) {
    for (int i = 0; i < ROOM_COUNT; ++i) buildRoomShell(level, i);
    for (int i = 0; i < OPENING_COUNT; ++i) buildOpeningFrame(level, i);
    buildCameraPoles(level);
    buildSecurityRoom(level);
    buildCorridors(level);
    buildLockerRoom(level);
    buildStoreroom(level);
    buildOffice(level);
    buildWarehouse(level);
    buildHall(level);
}
