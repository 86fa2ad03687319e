#include "tools/content/models.h"

#include "game/keypad_code.h"

#include <math.h>
#include <string.h>

const KeypadButton kKeypadButtons[KEYPAD_BUTTON_COUNT] = {
    {"DigicodeButton1", "Button1", "1"},   {"DigicodeButton2", "Button2", "2"},
    {"DigicodeButton3", "Button3", "3"},   {"DigicodeButton4", "Button4", "4"},
    {"DigicodeButton5", "Button5", "5"},   {"DigicodeButton6", "Button6", "6"},
    {"DigicodeButton7", "Button7", "7"},   {"DigicodeButton8", "Button8", "8"},
    {"DigicodeButton9", "Button9", "9"},   {"DigicodeButtonStar", "ButtonStar", "*"},
    {"DigicodeButton0", "Button0", "0"},   {"DigicodeButtonPound", "ButtonPound", "#"},
};

namespace {

ModelPart* addPart(Model* model, const char* name) {
    model->parts.push_back(ModelPart{name, MeshBuilder{}});
    return &model->parts.back();
}

// Seven-segment glyph drawn as thin boxes on a plane facing -y at depth y, centred at
// (cx, cz), size w x h. Bits: a b c d e f g from bit 0.
void addSegments(MeshBuilder* b, uint32_t mask, float cx, float cz, float w, float h, float y, float t, Vec3 colour) {
    float hw = 0.5f * w, hh = 0.5f * h;
    struct Seg {
        float x0, z0, x1, z1;
    };
    const Seg segs[7] = {
        {-hw, hh - t, hw, hh},          // a: top
        {hw - t, 0, hw, hh},            // b: upper right
        {hw - t, -hh, hw, 0},           // c: lower right
        {-hw, -hh, hw, -hh + t},        // d: bottom
        {-hw, -hh, -hw + t, 0},         // e: lower left
        {-hw, 0, -hw + t, hh},          // f: upper left
        {-hw, -0.5f * t, hw, 0.5f * t}, // g: middle
    };
    for (int i = 0; i < 7; ++i) {
        if (!(mask & (1u << i))) continue;
        addBox(b, vec3(cx + segs[i].x0, y - 0.002f, cz + segs[i].z0), vec3(cx + segs[i].x1, y, cz + segs[i].z1), colour,
               1.0f, FACE_NEG_Y | FACE_NEG_X | FACE_POS_X | FACE_NEG_Z | FACE_POS_Z);
    }
}

uint32_t digitMask(char c) {
    static const uint32_t kMasks[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    return (c >= '0' && c <= '9') ? kMasks[c - '0'] : 0;
}

// A bar on the -y face, turned by angle degrees about the y axis.
void addTurnedBar(MeshBuilder* b, float cx, float cz, float length, float t, float y, float degrees, Vec3 colour) {
    Quat q = quaternionFromAxisAngle(vec3(0, 1, 0), degrees);
    addOrientedBox(b, vec3(cx, y - 0.001f, cz), &q, vec3(0.5f * length, 0.001f, 0.5f * t), colour);
}

void buildCamera(std::vector<Model>* models) {
    Model model;
    model.path = "data/meshes/objects/Cam.glb";
    ModelPart* part = addPart(&model, "Cam");
    MeshBuilder* b = &part->mesh;
    // Built hanging from the ceiling (world orientation, origin at the camera's
    // position); the game turns the model by -90 degrees about x, so the last step
    // turns it by +90 degrees into the file's frame.
    // A big dome: seen through a doorway across a room, on a monitor's quarter of the
    // screen, it must still make a target a player finds and hits.
    addCylinder(b, vec3(0, 0, 0), 0.035f, 0.09f, 10, vec3(0.75f, 0.75f, 0.77f));
    addCylinder(b, vec3(0, 0, -0.04f), 0.3f, 0.04f, 28, vec3(0.88f, 0.88f, 0.9f));
    addCylinder(b, vec3(0, 0, -0.095f), 0.28f, 0.055f, 28, vec3(0.95f, 0.95f, 0.96f));
    addDome(b, vec3(0, 0, -0.095f), 0.235f, 28, 8, vec3(0.07f, 0.07f, 0.09f));
    // Status lights around the housing: bright enough to bloom on the monitors.
    for (int i = 0; i < 4; ++i) {
        float a = 1.5707963f * i, cx = 0.284f * cosf(a), cy = 0.284f * sinf(a);
        addBox(b, vec3(cx - 0.018f, cy - 0.018f, -0.085f), vec3(cx + 0.018f, cy + 0.018f, -0.055f),
               vec3(3.0f, 0.15f, 0.1f), 1.0f);
    }
    Quat toFile = quaternionFromAxisAngle(vec3(1, 0, 0), 90.0f);
    transformBuilder(b, &toFile, vec3(0, 0, 0));
    models->push_back(model);
}

void buildKeypad(std::vector<Model>* models) {
    Model model;
    model.path = "data/meshes/objects/Keypad.glb";
    ModelPart* kase = addPart(&model, "Case");
    addBox(&kase->mesh, vec3(-0.125f, -0.045f, -0.185f), vec3(0.125f, 0.0f, 0.185f), vec3(0.2f, 0.21f, 0.24f), 1.0f);
    addBox(&kase->mesh, vec3(-0.095f, -0.048f, 0.105f), vec3(0.095f, -0.045f, 0.16f), vec3(0.08f, 0.35f, 0.15f), 1.0f,
           FACE_NEG_Y);
    // Grid: three columns, four rows from the top (1 2 3 / 4 5 6 / 7 8 9 / * 0 #).
    for (int i = 0; i < KEYPAD_BUTTON_COUNT; ++i) {
        const KeypadButton* key = &kKeypadButtons[i];
        ModelPart* part = addPart(&model, key->partName);
        int column = i % 3, row = i / 3;
        float cx = -0.072f + column * 0.072f, cz = 0.045f - row * 0.066f;
        bool special = key->label[0] == '*' || key->label[0] == '#';
        Vec3 face = special ? vec3(0.95f, 0.8f, 0.35f) : vec3(0.86f, 0.87f, 0.9f);
        addBox(&part->mesh, vec3(cx - 0.029f, -0.064f, cz - 0.027f), vec3(cx + 0.029f, -0.045f, cz + 0.027f), face, 1.0f);
        const Vec3 ink = {0.05f, 0.05f, 0.08f};
        const float y = -0.064f;
        if (key->label[0] == '*') {
            addTurnedBar(&part->mesh, cx, cz, 0.032f, 0.006f, y, 0.0f, ink);
            addTurnedBar(&part->mesh, cx, cz, 0.032f, 0.006f, y, 60.0f, ink);
            addTurnedBar(&part->mesh, cx, cz, 0.032f, 0.006f, y, -60.0f, ink);
        } else if (key->label[0] == '#') {
            addTurnedBar(&part->mesh, cx - 0.007f, cz, 0.034f, 0.005f, y, 80.0f, ink);
            addTurnedBar(&part->mesh, cx + 0.007f, cz, 0.034f, 0.005f, y, 80.0f, ink);
            addTurnedBar(&part->mesh, cx, cz - 0.007f, 0.034f, 0.005f, y, 0.0f, ink);
            addTurnedBar(&part->mesh, cx, cz + 0.007f, 0.034f, 0.005f, y, 0.0f, ink);
        } else {
            addSegments(&part->mesh, digitMask(key->label[0]), cx, cz, 0.022f, 0.036f, y, 0.005f, ink);
        }
    }
    models->push_back(model);
}

// Items are modelled upright, their broad face towards -y and centred on the origin,
// so that the inventory preview's turn about the vertical axis shows them whole.
void buildRedKey(std::vector<Model>* models) {
    Model model;
    model.path = "data/meshes/objects/RedKey.glb";
    MeshBuilder* b = &addPart(&model, "RedKey")->mesh;
    const Vec3 red = {0.92f, 0.1f, 0.07f}, darkRed = {0.7f, 0.08f, 0.06f};
    // A solid round bow (a broad target to click), its hole a dark ring of paint.
    const float radius = 0.052f, centreZ = 0.088f;
    addCylinderAlong(b, vec3(0, 0.009f, centreZ), vec3(0, -1, 0), radius, 0.018f, 20, red);
    addCylinderAlong(b, vec3(0, -0.0085f, centreZ + 0.018f), vec3(0, -1, 0), 0.012f, 0.002f, 12,
                     vec3(0.15f, 0.02f, 0.02f));
    addBox(b, vec3(-0.026f, -0.01f, 0.02f), vec3(0.026f, 0.01f, 0.042f), red, 1.0f);
    addBox(b, vec3(-0.013f, -0.008f, -0.135f), vec3(0.013f, 0.008f, 0.02f), darkRed, 1.0f);
    for (int i = 0; i < 3; ++i) {
        float z0 = -0.13f + i * 0.032f;
        addBox(b, vec3(0.013f, -0.007f, z0), vec3(0.034f - i * 0.006f, 0.007f, z0 + 0.018f), darkRed, 1.0f);
    }
    // A key-ring tag hanging beside it: a broad white plate with a red band, which a
    // camera across the room shows better than the key itself.
    addBox(b, vec3(0.05f, -0.003f, 0.072f), vec3(0.075f, 0.003f, 0.082f), vec3(0.6f, 0.6f, 0.62f), 1.0f);
    addBox(b, vec3(0.068f, -0.005f, -0.045f), vec3(0.148f, 0.005f, 0.075f), vec3(0.95f, 0.95f, 0.92f), 1.0f);
    addBox(b, vec3(0.068f, -0.0062f, 0.02f), vec3(0.148f, -0.005f, 0.05f), red, 1.0f,
           FACE_NEG_Y | FACE_NEG_X | FACE_POS_X | FACE_NEG_Z | FACE_POS_Z);
    // Centred across, so that the inventory preview turns it about its middle.
    Quat none = identityQuaternion();
    transformBuilder(b, &none, vec3(-0.048f, 0, 0));
    models->push_back(model);
}

// A wrecking bar of about 0.9 m: a dark steel shaft with a red rubber grip, the
// hooked end at the top curling over into a split claw, the flat chisel end at the
// bottom. Thick and dark enough to stand out from brick and wood at a distance.
void buildCrowbar(std::vector<Model>* models) {
    Model model;
    model.path = "data/meshes/objects/Crowbar.glb";
    MeshBuilder* b = &addPart(&model, "Crowbar")->mesh;
    const Vec3 steel = {0.25f, 0.26f, 0.3f}, bright = {0.55f, 0.56f, 0.6f}, red = {0.9f, 0.08f, 0.05f},
               black = {0.06f, 0.06f, 0.07f};
    // Thicker than a real one: on a monitor a thin bar is a line a few pixels wide,
    // too thin to point at.
    const float half = 0.036f, top = 0.3f, bottom = -0.42f;
    addBox(b, vec3(-half, -half, bottom), vec3(half, half, top), steel, 1.0f);
    // The grip, with a dark band at each end.
    addBox(b, vec3(-0.05f, -0.05f, -0.26f), vec3(0.05f, 0.05f, 0.1f), red, 1.0f);
    for (float z : {-0.28f, 0.1f}) addBox(b, vec3(-0.053f, -0.053f, z), vec3(0.053f, 0.053f, z + 0.02f), black, 1.0f);
    // The hook: a half turn of short bars over the top, radius 0.1.
    const float radius = 0.1f;
    const int pieces = 8;
    for (int i = 0; i < pieces; ++i) {
        float a = 3.1415927f * (i + 0.5f) / pieces;
        Quat q = quaternionFromAxisAngle(vec3(0, 1, 0), 180.0f * (i + 0.5f) / pieces);
        addOrientedBox(b, vec3(radius - radius * cosf(a), 0, top + radius * sinf(a)), &q,
                       vec3(half, half, 0.5f * 3.1415927f * radius / pieces + 0.006f), steel);
    }
    // The claw hanging from the hook's end, flattened and split, its tips bright.
    addBox(b, vec3(2 * radius - 0.042f, -0.02f, top - 0.1f), vec3(2 * radius + 0.042f, 0.02f, top), steel, 1.0f);
    for (int side = -1; side <= 1; side += 2)
        addBox(b, vec3(2 * radius + side * 0.024f - 0.015f, -0.017f, top - 0.14f),
               vec3(2 * radius + side * 0.024f + 0.015f, 0.017f, top - 0.1f), bright, 1.0f);
    // The chisel end, flattened and turned a little, with a bright edge.
    Quat chisel = quaternionFromAxisAngle(vec3(0, 1, 0), 20.0f);
    addOrientedBox(b, vec3(0.014f, 0, bottom - 0.04f), &chisel, vec3(0.048f, 0.018f, 0.05f), steel);
    addOrientedBox(b, vec3(0.034f, 0, bottom - 0.088f), &chisel, vec3(0.042f, 0.011f, 0.01f), bright);
    // Centred on the origin, so that the inventory preview turns it about its middle.
    Quat none = identityQuaternion();
    const float lowest = bottom - 0.1f, highest = top + radius + half;
    transformBuilder(b, &none, vec3(-radius, 0, -0.5f * (lowest + highest)));
    models->push_back(model);
}

void buildAccessCard(std::vector<Model>* models) {
    Model model;
    model.path = "data/meshes/objects/AccessCard.glb";
    MeshBuilder* b = &addPart(&model, "AccessCard")->mesh;
    addBox(b, vec3(-0.12f, -0.004f, -0.075f), vec3(0.12f, 0.004f, 0.075f), vec3(0.96f, 0.96f, 0.94f), 1.0f);
    const float y = -0.004f;
    const uint32_t faces = FACE_NEG_Y | FACE_NEG_X | FACE_POS_X | FACE_NEG_Z | FACE_POS_Z;
    addBox(b, vec3(-0.12f, y - 0.001f, 0.03f), vec3(0.12f, y, 0.075f), vec3(0.1f, 0.3f, 0.85f), 1.0f, faces);
    addBox(b, vec3(-0.1f, y - 0.001f, -0.055f), vec3(-0.045f, y, 0.015f), vec3(0.55f, 0.45f, 0.38f), 1.0f, faces);
    addBox(b, vec3(0.04f, y - 0.001f, -0.035f), vec3(0.08f, y, -0.005f), vec3(0.95f, 0.78f, 0.2f), 1.0f, faces);
    for (int i = 0; i < 2; ++i)
        addBox(b, vec3(-0.03f, y - 0.001f, -0.06f + i * 0.02f), vec3(0.1f, y, -0.052f + i * 0.02f),
               vec3(0.15f, 0.15f, 0.2f), 1.0f, faces);
    models->push_back(model);
}

void buildPaperNote(std::vector<Model>* models) {
    Model model;
    model.path = "data/meshes/objects/PaperNote.glb";
    MeshBuilder* b = &addPart(&model, "PaperNote")->mesh;
    addBox(b, vec3(-0.14f, -0.002f, -0.1f), vec3(0.14f, 0.002f, 0.1f), vec3(0.98f, 0.96f, 0.86f), 1.0f);
    const Vec3 ink = {0.1f, 0.15f, 0.5f};
    const float y = -0.002f;
    const uint32_t faces = FACE_NEG_Y | FACE_NEG_X | FACE_POS_X | FACE_NEG_Z | FACE_POS_Z;
    // Scribbled lines above and below the code.
    for (int i = 0; i < 2; ++i)
        addBox(b, vec3(-0.11f, y - 0.001f, 0.07f - i * 0.025f), vec3(0.06f + i * 0.04f, y, 0.076f - i * 0.025f), ink,
               1.0f, faces);
    addBox(b, vec3(-0.11f, y - 0.001f, -0.078f), vec3(0.02f, y, -0.072f), ink, 1.0f, faces);
    const char* code = kKeypadCode;
    for (int i = 0; i < 4; ++i)
        addSegments(b, digitMask(code[i]), -0.075f + i * 0.05f, -0.018f, 0.032f, 0.05f, y, 0.007f,
                    vec3(0.75f, 0.05f, 0.05f));
    models->push_back(model);
}

void buildDecor(std::vector<Model>* models) {
    Model model;
    model.path = "data/meshes/objects/Decor.glb";
    // Crate, origin at the centre of its base; the entity colour paints it.
    MeshBuilder* crate = &addPart(&model, "Crate")->mesh;
    addBox(crate, vec3(-0.4f, -0.4f, 0.0f), vec3(0.4f, 0.4f, 0.7f), vec3(0.7f, 0.5f, 0.3f), 1.0f);
    for (int i = 0; i < 2; ++i) {
        float z = i ? 0.6f : 0.02f;
        addBox(crate, vec3(-0.42f, -0.42f, z), vec3(0.42f, 0.42f, z + 0.08f), vec3(0.6f, 0.4f, 0.25f), 1.0f);
    }
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2)
            addBox(crate, vec3(sx * 0.42f - 0.04f, sy * 0.42f - 0.04f, 0.0f),
                   vec3(sx * 0.42f + 0.04f, sy * 0.42f + 0.04f, 0.7f), vec3(0.6f, 0.4f, 0.25f), 1.0f);
    // Barrel with two hoops.
    MeshBuilder* barrel = &addPart(&model, "Barrel")->mesh;
    addCylinder(barrel, vec3(0, 0, 0), 0.3f, 0.9f, 20, vec3(0.2f, 0.35f, 0.6f));
    addCylinder(barrel, vec3(0, 0, 0.2f), 0.31f, 0.04f, 20, vec3(0.15f, 0.15f, 0.15f));
    addCylinder(barrel, vec3(0, 0, 0.66f), 0.31f, 0.04f, 20, vec3(0.15f, 0.15f, 0.15f));
    // Potted plant: its own colours (no entity colour).
    MeshBuilder* plant = &addPart(&model, "Plant")->mesh;
    addCylinder(plant, vec3(0, 0, 0), 0.2f, 0.35f, 16, vec3(0.75f, 0.38f, 0.2f));
    addCylinder(plant, vec3(0, 0, 0.3f), 0.18f, 0.05f, 16, vec3(0.3f, 0.2f, 0.12f));
    for (int i = 0; i < 7; ++i) {
        float a = 360.0f * i / 7.0f;
        Quat yaw = quaternionFromAxisAngle(vec3(0, 0, 1), a);
        Quat tilt = quaternionFromAxisAngle(vec3(1, 0, 0), 25.0f + 10.0f * (i % 3));
        Quat q;
        quaternionProduct(&q, &tilt, &yaw); // yaw (x) tilt
        Vec3 offset = vec3(0, 0.12f, 0.35f);
        rotateByQuaternion(&q, &offset);
        offset.z = 0.55f + 0.1f * (i % 3);
        addOrientedBox(plant, offset, &q, vec3(0.07f, 0.2f, 0.012f), vec3(0.15f, 0.55f + 0.05f * (i % 2), 0.2f));
    }
    models->push_back(model);
}

} // namespace

void buildModels(std::vector<Model>* models) {
    buildCamera(models);
    buildKeypad(models);
    buildRedKey(models);
    buildCrowbar(models);
    buildAccessCard(models);
    buildPaperNote(models);
    buildDecor(models);
}
