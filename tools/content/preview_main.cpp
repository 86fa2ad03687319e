// quarlo_preview: a quick software rendering of every security camera's view (and the
// player's) straight from the in-memory content, for working on the level without a
// graphics backend. It imitates the lit shader (directional light, ambient, the spot in
// front of the camera, glow above 1) without bloom; the engine's own rendering under
// Wine is what the screenshots show.
//
//   quarlo_preview <output folder> [open]   writes cam1.png ... cam8.png and player.png,
//                                           with "open" every object opened
#include "tools/content/building.h"
#include "tools/content/content.h"
#include "tools/content/game_frame.h"
#include "tools/content/layout.h"
#include "tools/content/text_raster.h"
#include "tools/content/textures.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

const int kWidth = 640, kHeight = 360;

struct Target {
    std::vector<float> colour; // rgb
    std::vector<float> depth;
};

struct Shading {
    Vec3 lightDirection;
    Vec3 spot;
};

struct ClipVertex {
    Vec4 clip;
    float attr[11]; // world x y z, u v, r g b, nx ny nz
};

Vec3 sampleTexture(const Image* image, float u, float v) {
    if (!image || image->width == 0) return vec3(1, 1, 1);
    // Bottom-up texture coordinates; the image is stored top-down.
    float fu = u - floorf(u), fv = v - floorf(v);
    uint32_t x = (uint32_t)(fu * image->width) % image->width;
    uint32_t y = (uint32_t)((1.0f - fv) * image->height) % image->height;
    const uint8_t* p = imagePixel(image, x, y);
    return vec3(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
}

void shadePixel(Target* t, int x, int y, float depth, const float* a, const Image* texture, const Shading* s,
                float highlight) {
    size_t at = (size_t)y * kWidth + x;
    if (depth >= t->depth[at]) return;
    t->depth[at] = depth;
    Vec3 world = vec3(a[0], a[1], a[2]);
    Vec3 n = normalised3(vec3(a[8], a[9], a[10]));
    Vec3 albedo = sampleTexture(texture, a[3], a[4]);
    Vec3 colour = vec3(a[5], a[6], a[7]);
    Vec3 base = mul3(albedo, vec3(fminf(colour.x, 1), fminf(colour.y, 1), fminf(colour.z, 1)));
    Vec3 glow = mul3(albedo, vec3(fmaxf(colour.x - 1, 0), fmaxf(colour.y - 1, 0), fmaxf(colour.z - 1, 0)));
    float diffuse = fmaxf(-dot3(n, s->lightDirection), 0.0f);
    Vec3 toSpot = sub3(s->spot, world);
    float d = length3(toSpot);
    float facing = fmaxf(dot3(n, scale3(toSpot, 1.0f / fmaxf(d, 1e-4f))), 0.0f);
    float spot = (0.3f + 0.7f * facing) / (1.0f + 0.12f * d * d);
    float light = 0.42f + 0.6f * diffuse + 0.55f * spot;
    Vec3 lit = add3(scale3(base, light), glow);
    if (highlight > 0) lit = add3(scale3(lit, 1.25f), vec3(0.3f, 0.24f, 0.05f));
    t->colour[at * 3] = lit.x, t->colour[at * 3 + 1] = lit.y, t->colour[at * 3 + 2] = lit.z;
}

void rasterTriangle(Target* t, const ClipVertex* v, const Image* texture, const Shading* s, float highlight) {
    float sx[3], sy[3], sz[3], iw[3];
    for (int i = 0; i < 3; ++i) {
        iw[i] = 1.0f / v[i].clip.w;
        sx[i] = (v[i].clip.x * iw[i] + 1.0f) * 0.5f * kWidth;
        sy[i] = (1.0f - (v[i].clip.y * iw[i] + 1.0f) * 0.5f) * kHeight; // rows from the top
        sz[i] = v[i].clip.z * iw[i];
    }
    // Counter-clockwise in NDC (y up) is front; rows run downwards, so the area flips.
    float area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
    if (area >= 0) return;
    int x0 = (int)fmaxf(0, floorf(fminf(sx[0], fminf(sx[1], sx[2]))));
    int x1 = (int)fminf(kWidth - 1, ceilf(fmaxf(sx[0], fmaxf(sx[1], sx[2]))));
    int y0 = (int)fmaxf(0, floorf(fminf(sy[0], fminf(sy[1], sy[2]))));
    int y1 = (int)fminf(kHeight - 1, ceilf(fmaxf(sy[0], fmaxf(sy[1], sy[2]))));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float w0 = (sx[2] - sx[1]) * (py - sy[1]) - (sy[2] - sy[1]) * (px - sx[1]);
            float w1 = (sx[0] - sx[2]) * (py - sy[2]) - (sy[0] - sy[2]) * (px - sx[2]);
            float w2 = (sx[1] - sx[0]) * (py - sy[0]) - (sy[1] - sy[0]) * (px - sx[0]);
            if (w0 > 0 || w1 > 0 || w2 > 0) continue;
            w0 /= area, w1 /= area, w2 /= area;
            float depth = w0 * sz[0] + w1 * sz[1] + w2 * sz[2];
            if (depth < 0 || depth > 1) continue;
            float q0 = w0 * iw[0], q1 = w1 * iw[1], q2 = w2 * iw[2], qs = q0 + q1 + q2;
            float a[11];
            for (int k = 0; k < 11; ++k) a[k] = (q0 * v[0].attr[k] + q1 * v[1].attr[k] + q2 * v[2].attr[k]) / qs;
            shadePixel(t, x, y, depth, a, texture, s, highlight);
        }
}

// Clips against the near plane (w = near side: clip z >= 0 with this depth range).
void drawMesh(Target* t, const Mat4* viewProjection, const MeshBuilder* mesh, Vec3 offset, const Quat* rotation,
              Vec3 scale, const Image* texture, const Shading* s, float highlight) {
    size_t vertexCount = mesh->vertices.size() / GEOMETRY_FLOATS_PER_VERTEX;
    std::vector<ClipVertex> transformed(vertexCount);
    for (size_t i = 0; i < vertexCount; ++i) {
        const float* f = &mesh->vertices[i * GEOMETRY_FLOATS_PER_VERTEX];
        Vec3 p = mul3(vec3(f[0], f[1], f[2]), scale), n = vec3(f[8], f[9], f[10]);
        rotateByQuaternion(rotation, &p);
        rotateByQuaternion(rotation, &n);
        p = add3(p, offset);
        ClipVertex& c = transformed[i];
        c.clip = transformVector4(viewProjection, Vec4{p.x, p.y, p.z, 1});
        const float attr[11] = {p.x, p.y, p.z, f[3], f[4], f[5], f[6], f[7], n.x, n.y, n.z};
        memcpy(c.attr, attr, sizeof(attr));
    }
    for (size_t i = 0; i + 2 < mesh->indices.size(); i += 3) {
        ClipVertex in[3] = {transformed[mesh->indices[i]], transformed[mesh->indices[i + 1]],
                            transformed[mesh->indices[i + 2]]};
        ClipVertex out[4];
        int n = 0;
        for (int k = 0; k < 3; ++k) {
            const ClipVertex& a = in[k];
            const ClipVertex& b = in[(k + 1) % 3];
            bool ain = a.clip.z >= 0, bin = b.clip.z >= 0;
            if (ain) out[n++] = a;
            if (ain != bin) {
                float tt = a.clip.z / (a.clip.z - b.clip.z);
                ClipVertex c;
                c.clip = Vec4{a.clip.x + (b.clip.x - a.clip.x) * tt, a.clip.y + (b.clip.y - a.clip.y) * tt, 0,
                              a.clip.w + (b.clip.w - a.clip.w) * tt};
                for (int j = 0; j < 11; ++j) c.attr[j] = a.attr[j] + (b.attr[j] - a.attr[j]) * tt;
                out[n++] = c;
            }
        }
        for (int k = 1; k + 1 < n; ++k) {
            ClipVertex tri[3] = {out[0], out[k], out[k + 1]};
            rasterTriangle(t, tri, texture, s, highlight);
        }
    }
}

const Image* findTexture(const std::vector<Image>& images, const char* path) {
    uint32_t count;
    const TextureSpec* table = textureTable(&count);
    for (uint32_t i = 0; i < count; ++i)
        if (strcmp(table[i].path, path) == 0) return &images[i];
    return nullptr;
}

const ModelPart* findPart(const Content* content, const char* path, const char* part) {
    for (const Model& m : content->models)
        if (strcmp(m.path, path) == 0)
            for (const ModelPart& p : m.parts)
                if (!part[0] || strcmp(p.name, part) == 0) return &p;
    return nullptr;
}

void render(const Content* content, const std::vector<Image>& images, Vec3 eye, Vec3 direction, float fov,
            int skipCamera, bool open, const char* path) {
    Target t;
    t.colour.assign((size_t)kWidth * kHeight * 3, 0);
    for (size_t i = 0; i < t.colour.size(); i += 3)
        t.colour[i] = 0.46484375f, t.colour[i + 1] = 0.70703125f, t.colour[i + 2] = 0.9921875f;
    t.depth.assign((size_t)kWidth * kHeight, 1.0f);
    Mat4 view, projection = identityMatrix4(), vp;
    lookAt(&view, eye, add3(eye, direction), vec3(0, 0, 1));
    perspective(&projection, fov, 16.0f / 9.0f, 0.1f, 100.0f);
    multiplyMatrix4(&vp, &projection, &view);
    Shading s = {scale3(vec3(1, 1.1f, -1.2f), 1.0f / sqrtf(3.65f)),
                 add3(vec3(eye.x, eye.y, eye.z + 0.2f), scale3(normalised3(direction), 3.0f))};
    Quat identity = identityQuaternion();
    for (const BuiltLevelMesh& m : content->levelMeshes)
        drawMesh(&t, &vp, &m.mesh, vec3(0, 0, 0), &identity, vec3(1, 1, 1),
                 findTexture(images, materialTexturePath(m.material)), &s, 0);
    for (const InteractableSpec& it : content->interactables)
        for (const InteractablePart& part : it.parts)
            drawMesh(&t, &vp, &part.mesh, open ? it.openOffset : vec3(0, 0, 0), &identity, vec3(1, 1, 1),
                     findTexture(images, materialTexturePath(part.material)), &s, 0);
    for (const EntitySpec& e : content->entities) {
        const ModelPart* part = findPart(content, e.modelPath, e.partName);
        if (!part) continue;
        MeshBuilder painted = part->mesh;
        if (e.colour.x >= 0)
            for (size_t v = 0; v < painted.vertices.size(); v += GEOMETRY_FLOATS_PER_VERTEX)
                painted.vertices[v + 5] = e.colour.x, painted.vertices[v + 6] = e.colour.y,
                                     painted.vertices[v + 7] = e.colour.z;
        Quat q = rotationFromDataAngles(e.rotation);
        drawMesh(&t, &vp, &painted, e.position, &q, e.scale, nullptr, &s, 0);
    }
    const ModelPart* cam = findPart(content, "data/meshes/objects/Cam.glb", "");
    Quat camTurn = cameraModelRotation();
    for (int c = 0; c < CAMERA_COUNT; ++c)
        if (c != skipCamera) drawMesh(&t, &vp, &cam->mesh, kCameras[c].position, &camTurn, vec3(1, 1, 1), nullptr, &s, 0);
    Image out = makeImage(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float* c = &t.colour[((size_t)y * kWidth + x) * 3];
            setPixel(&out, x, y, c[0], c[1], c[2]);
        }
    if (!writePng(path, &out, false)) fprintf(stderr, "cannot write %s\n", path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 3 && strcmp(argv[2], "open") == 0)) {
        fprintf(stderr, "usage: %s <output folder> [open]\n", argv[0]);
        return 2;
    }
    bool open = argc == 3;
    if (!initTextRaster()) return 1;
    static Content content;
    buildContent(&content);
    uint32_t count;
    const TextureSpec* table = textureTable(&count);
    std::vector<Image> images;
    for (uint32_t i = 0; i < count; ++i) {
        images.push_back(makeImage(table[i].width, table[i].height));
        table[i].generate(&images.back());
    }
    char path[1024];
    for (int c = 0; c < CAMERA_COUNT; ++c) {
        snprintf(path, sizeof(path), "%s/cam%d.png", argv[1], c + 1);
        Vec3 eye = kCameras[c].position;
        eye.z -= 0.2f;
        render(&content, images, eye, kCameras[c].direction, kCameras[c].fovDegrees, c, open, path);
    }
    snprintf(path, sizeof(path), "%s/player.png", argv[1]);
    render(&content, images, kPlayerEye, kPlayerForward, 90.0f, -1, open, path);
    shutdownTextRaster();
    return 0;
}
