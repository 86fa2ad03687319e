#include "tools/content/scene.h"

#include "tools/content/building.h"
#include "tools/content/layout.h"
#include "tools/content/models.h"

#include <math.h>

namespace {

const Vec3 kWhite = {1, 1, 1};
const Vec3 kNoColour = {-1, -1, -1};
const Vec3 kHandle = {0.75f, 0.76f, 0.8f};

InteractablePart* addPart(InteractableSpec* spec, int material) {
    spec->parts.push_back(InteractablePart{material, MeshBuilder{}});
    return &spec->parts.back();
}

// A sliding door filling an opening: the slab (its texture fitted to each face) and,
// as a second part, a handle plate on each side near the edge that stays in view.
InteractableSpec makeDoor(const char* name, const char* item, bool required, int opening, int material,
                          Vec3 openOffset, bool handles) {
    const Opening* o = &kOpenings[opening];
    InteractableSpec spec = {name, item, required, openOffset, {}};
    const float half = 0.03f;
    Vec3 lo, hi;
    if (o->axis == 0) {
        lo = vec3(o->lo, o->line - half, o->zBottom + 0.005f);
        hi = vec3(o->hi, o->line + half, o->zTop - 0.005f);
    } else {
        lo = vec3(o->line - half, o->lo, o->zBottom + 0.005f);
        hi = vec3(o->line + half, o->hi, o->zTop - 0.005f);
    }
    addFittedBox(&addPart(&spec, material)->mesh, lo, hi, kWhite);
    if (handles) {
        MeshBuilder* h = &addPart(&spec, MAT_METAL)->mesh;
        // The handle sits on the edge opposite the sliding direction.
        float slide = o->axis == 0 ? openOffset.x : openOffset.y;
        float edge = slide < 0 ? o->hi - 0.12f : o->lo + 0.06f;
        float z0 = kFloorZ + 0.95f, z1 = kFloorZ + 1.25f;
        for (int side = -1; side <= 1; side += 2) {
            float c0 = side < 0 ? o->line - half - 0.025f : o->line + half;
            float c1 = side < 0 ? o->line - half : o->line + half + 0.025f;
            if (o->axis == 0)
                addBox(h, vec3(edge, c0, z0), vec3(edge + 0.06f, c1, z1), kHandle, 1.0f);
            else
                addBox(h, vec3(c0, edge, z0), vec3(c1, edge + 0.06f, z1), kHandle, 1.0f);
        }
    }
    return spec;
}

void addLockers(std::vector<InteractableSpec>* out) {
    static const char* const kNames[4] = {"locker1", "locker2", "locker3", "locker4"};
    for (int i = 0; i < 4; ++i) {
        float x0 = kLockerFirstX + i * kLockerPitch, x1 = x0 + kLockerWidth;
        // The door slides west behind the front between it and its neighbour, leaving
        // its edge and handle in the opening.
        InteractableSpec spec = {kNames[i], "", false, vec3(-(kLockerWidth - kLockerDoorEdge), 0, 0), {}};
        addFittedBox(&addPart(&spec, MAT_LOCKER_FRONT)->mesh, vec3(x0 + 0.005f, kLockerFrontY, 1.11f),
                     vec3(x1 - 0.005f, kLockerFrontY + 0.03f, 2.95f), vec3(0.55f, 0.68f, 0.95f));
        // Number plate (a cell of the numbers texture) and a handle.
        MeshBuilder* plate = &addPart(&spec, MAT_NUMBERS)->mesh;
        float cx = 0.5f * (x0 + x1);
        // Facing +y, into the room: seen from there, +x is to the left.
        addPanelUv(plate, vec3(cx + 0.08f, kLockerFrontY + 0.032f, 2.6f), vec3(-0.16f, 0, 0), vec3(0, 0, 0.16f), kWhite,
                   i / 4.0f, 0.0f, (i + 1) / 4.0f, 1.0f);
        addBox(&addPart(&spec, MAT_METAL)->mesh, vec3(x1 - 0.065f, kLockerFrontY + 0.03f, 1.9f),
               vec3(x1 - 0.025f, kLockerFrontY + 0.06f, 2.15f), kHandle, 1.0f);
        out->push_back(spec);
    }
}

// Pedestal drawers in the office; the front and the tray slide out together towards +x.
void addDrawers(std::vector<InteractableSpec>* out) {
    static const char* const kNames[3] = {"drawer1", "drawer2", "drawer3"};
    const float f = kPedestalFrontX, y0 = kPedestalY0;
    for (int k = 1; k <= 3; ++k) {
        float zb = drawerBottom(k);
        InteractableSpec spec = {kNames[k - 1], "", false, vec3(0.46f, 0, 0), {}};
        MeshBuilder* m = &addPart(&spec, MAT_METAL)->mesh;
        const Vec3 front = {0.72f, 0.74f, 0.78f}, tray = {0.5f, 0.52f, 0.55f};
        addBox(m, vec3(f, y0 + 0.025f, zb + 0.005f), vec3(f + 0.03f, y0 + 0.475f, zb + 0.195f), front, 1.0f);
        addBox(m, vec3(f - 0.46f, y0 + 0.04f, zb + 0.003f), vec3(f, y0 + 0.46f, zb + 0.018f), tray, 1.0f);
        addBox(m, vec3(f - 0.46f, y0 + 0.04f, zb + 0.018f), vec3(f, y0 + 0.055f, zb + 0.12f), tray, 1.0f);
        addBox(m, vec3(f - 0.46f, y0 + 0.445f, zb + 0.018f), vec3(f, y0 + 0.46f, zb + 0.12f), tray, 1.0f);
        addBox(m, vec3(f + 0.03f, y0 + 0.18f, zb + 0.08f), vec3(f + 0.065f, y0 + 0.32f, zb + 0.11f),
               vec3(0.3f, 0.3f, 0.32f), 1.0f);
        out->push_back(spec);
    }
}

void addCabinet(std::vector<InteractableSpec>* out) {
    InteractableSpec spec = {"cabinet", "", false, vec3(-1.0f, 0, 0), {}};
    const float x0 = kCabinetX0, x1 = kCabinetX0 + kCabinetWidth, fy = kCabinetFrontY;
    addBox(&addPart(&spec, MAT_METAL)->mesh, vec3(x0, fy - 0.03f, kFloorZ + 0.01f), vec3(x1, fy, 2.89f),
           vec3(0.85f, 0.16f, 0.12f), 1.0f);
    addPanelUv(&addPart(&spec, MAT_STRIPES)->mesh, vec3(x0, fy - 0.032f, 2.55f), vec3(kCabinetWidth, 0, 0),
               vec3(0, 0, 0.14f), kWhite, 0.0f, 0.0f, 3.0f, 0.5f);
    addBox(&addPart(&spec, MAT_METAL)->mesh, vec3(x1 - 0.12f, fy - 0.06f, 1.75f), vec3(x1 - 0.07f, fy - 0.03f, 2.15f),
           kHandle, 1.0f);
    out->push_back(spec);
}

// Yaw in degrees that turns a model's -y face towards a point, seen from position.
float yawTowards(Vec3 position, Vec3 target) {
    float dx = target.x - position.x, dy = target.y - position.y;
    // The -y face turned by yaw points along (sin yaw, -cos yaw).
    return atan2f(dx, -dy) * 57.29578f;
}

EntitySpec entity(const char* name, const char* model, const char* part, Vec3 position, Vec3 rotation, Vec3 colour) {
    EntitySpec e = {name,     model,    part,     position,          vec3(1, 1, 1), colour,
                    rotation, vec3(0, 0, 1.1f), vec3(1, 1, 1), vec3(0, 0, 0), false};
    return e;
}

EntitySpec item(const char* name, const char* model, Vec3 position, Vec3 rotation, float previewScale) {
    EntitySpec e = entity(name, model, "", position, rotation, kNoColour);
    e.previewPosition = vec3(0, 0, 1.1f);
    e.previewScale = vec3(previewScale, previewScale, previewScale);
    // The models face -y; the preview is seen from +y.
    e.previewRotation = vec3(180.0f, 0, 0);
    e.pickable = true;
    return e;
}

} // namespace

void buildInteractables(std::vector<InteractableSpec>* out) {
    // Doors first: they stand between rooms, so a ray that crosses a closed door meets
    // it before anything behind it.
    out->push_back(makeDoor("vestiaireDoor", "", false, OPENING_VESTIAIRE, MAT_DOOR_GREY, vec3(-1.02f, 0, 0), true));
    out->push_back(makeDoor("redDoor", "redKey", true, OPENING_RED, MAT_DOOR_RED, vec3(1.02f, 0, 0), true));
    out->push_back(makeDoor("corridorDoor", "", false, OPENING_CORRIDOR, MAT_DOOR_GREY, vec3(0, -0.92f, 0), true));
    out->push_back(makeDoor("warehouseDoor", "crowbar", true, OPENING_WAREHOUSE, MAT_SHUTTER, vec3(0, 0, 2.8f), false));
    out->push_back(makeDoor("deskDoor", "accessCard", true, OPENING_DESK, MAT_DOOR_OFFICE, vec3(1.02f, 0, 0), true));
    out->push_back(
        makeDoor("exitDoor", kExitDoorOpeningItem, true, OPENING_EXIT, MAT_DOOR_EXIT, vec3(0, -1.25f, 0), true));
    addLockers(out);
    addDrawers(out);
    addCabinet(out);
}

void buildEntities(std::vector<EntitySpec>* out) {
    // Keypad beside the exit door, its face towards the hall. The buttons come before
    // the case: a click on a button then reaches the button, not the case behind it.
    const char* keypad = "data/meshes/objects/Keypad.glb";
    // Drawn half as large again as the model, so that its buttons make broad targets
    // on the monitor.
    const Vec3 keypadAt = vec3(22.0f, 5.0f, kFloorZ + 1.45f), keypadTurn = vec3(-90.0f, 0, 0);
    const Vec3 keypadScale = vec3(1.3f, 1.3f, 1.3f);
    for (int i = 0; i < KEYPAD_BUTTON_COUNT; ++i) {
        out->push_back(entity(kKeypadButtons[i].entityName, keypad, kKeypadButtons[i].partName, keypadAt, keypadTurn,
                              kNoColour));
        out->back().scale = keypadScale;
    }
    out->push_back(entity("DigicodeCase", keypad, "Case", keypadAt, keypadTurn, kNoColour));
    out->back().scale = keypadScale;

    // The four items, each facing the camera that finds it.
    Vec3 key = vec3(kLockerFirstX + 2 * kLockerPitch + 0.5f * kLockerWidth, 5.3f, 2.2f);
    EntitySpec redKey = item("redKey", "data/meshes/objects/RedKey.glb", key,
                             vec3(yawTowards(key, kCameras[3].position), 0, 0), 4.0f);
    redKey.scale = vec3(1.9f, 1.9f, 1.9f); // a big key, to be seen across the room
    out->push_back(redKey);
    // Hanging by its hook from the peg of the tool board on the storeroom's north wall,
    // flat against the board, which sets it off against the brick.
    EntitySpec crowbar = item("crowbar", "data/meshes/objects/Crowbar.glb", kCrowbarHangsAt, vec3(0, 0, 0), 1.0f);
    crowbar.scale = vec3(kCrowbarScale, kCrowbarScale, kCrowbarScale);
    out->push_back(crowbar);
    Vec3 card = vec3(kCabinetX0 + 0.5f * kCabinetWidth, kCabinetFrontY + 0.2f, 1.875f);
    out->push_back(item("accessCard", "data/meshes/objects/AccessCard.glb", card,
                        vec3(yawTowards(card, kCameras[6].position), -15.0f, 0), 4.0f));
    // Lying face up at the front of the top drawer, its top edge away from the office
    // camera; it stays where it lies when the drawer slides out.
    EntitySpec note = item("paperNote", "data/meshes/objects/PaperNote.glb",
                           vec3(kPedestalFrontX - 0.15f, kPedestalY0 + 0.25f, drawerBottom(1) + 0.025f),
                           vec3(90.0f, -90.0f, 0), 3.5f);
    note.scale = vec3(1.3f, 1.3f, 1.3f); // a full sheet, to be seen from the office camera
    out->push_back(note);

    // Decor: crates and barrels painted by their entity colour, plants in their own.
    const char* decor = "data/meshes/objects/Decor.glb";
    out->push_back(entity("crate", decor, "Crate", vec3(9.4f, -3.8f, kFloorZ), vec3(8, 0, 0), vec3(0.72f, 0.5f, 0.3f)));
    out->push_back(
        entity("crate", decor, "Crate", vec3(10.3f, -3.95f, kFloorZ), vec3(-5, 0, 0), vec3(0.35f, 0.55f, 0.3f)));
    out->push_back(
        entity("crate", decor, "Crate", vec3(9.85f, -3.85f, kFloorZ + 0.7f), vec3(30, 0, 0), vec3(0.3f, 0.42f, 0.75f)));
    out->push_back(
        entity("crate", decor, "Crate", vec3(14.4f, 0.4f, kFloorZ), vec3(20, 0, 0), vec3(0.8f, 0.7f, 0.3f)));
    out->push_back(
        entity("barrel", decor, "Barrel", vec3(15.3f, -0.4f, kFloorZ), vec3(0, 0, 0), vec3(0.2f, 0.35f, 0.65f)));
    out->push_back(
        entity("barrel", decor, "Barrel", vec3(15.2f, -5.35f, kFloorZ), vec3(0, 0, 0), vec3(0.7f, 0.15f, 0.1f)));
    out->push_back(entity("plant", decor, "Plant", vec3(21.4f, 6.8f, kFloorZ), vec3(0, 0, 0), kNoColour));
    out->push_back(entity("plant", decor, "Plant", vec3(21.4f, 1.0f, kFloorZ), vec3(40, 0, 0), kNoColour));
    out->push_back(entity("plant", decor, "Plant", vec3(15.5f, 5.5f, kFloorZ), vec3(10, 0, 0), kNoColour));
    out->push_back(entity("plant", decor, "Plant", vec3(-1.45f, 2.12f, kFloorZ), vec3(70, 0, 0), kNoColour));
}
