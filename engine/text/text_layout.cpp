#include "engine/text/text_layout.h"

#include "backend/vertex_formats.h"
#include "engine/assets/dyn_array.h"
#include "engine/text/line_breaking.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

// The characters of the line being laid out; shared by every layout, never shrunk.
LaidCharacter* gLine;
uint32_t gLineCapacity;

struct LayoutRun {
    const TextLayoutBox* box;
    FontAtlas* atlas;
    TextMeshes* meshes;
    int32_t lineHeight;
    int32_t widest;
    uint32_t lines;
    bool failed; // out of memory while emitting
};

int32_t floorShift6(FT_Pos value) { return static_cast<int32_t>(value >= 0 ? value / 64 : -((-value + 63) / 64)); }

void queueMissing(FontAtlas* atlas, const uint32_t* codes, uint32_t from, uint32_t count) {
    for (uint32_t i = from; i < count; ++i) {
        if (codes[i] == 13 || codes[i] == 10) continue;
        GlyphInfo unused;
        if (!lookUpGlyph(atlas, codes[i], &unused)) queuePendingGlyph(atlas, codes[i]);
    }
}

bool appendQuad(TextMesh* mesh, const LaidCharacter* c, const float* color) {
    int32_t format = mesh->vertexFormat;
    uint32_t stride = static_cast<uint32_t>(vertexFormatSlots(format));
    int32_t texture = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_TEXCOORD);
    int32_t colorOffset = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_COLOR);
    int32_t colorCount = vertexAttributeComponents(format, VERTEX_ATTRIBUTE_COLOR);
    if (stride < 2) return false;
    uint32_t first = mesh->vertexFloatCount / stride;
    if (mesh->vertexFloatCount > UINT32_MAX - 4 * stride || mesh->indexCount > UINT32_MAX - 6) return false;
    if (!growElements(&mesh->vertices, &mesh->vertexFloatCapacity, mesh->vertexFloatCount + 4 * stride) ||
        !growElements(&mesh->indices, &mesh->indexCapacity, mesh->indexCount + 6))
        return false;
    float X = static_cast<float>(c->x + c->glyph.bearing.x);
    float Y = static_cast<float>(c->y + c->glyph.bearing.y);
    float w = static_cast<float>(c->glyph.size.x);
    float h = static_cast<float>(c->glyph.size.y);
    const GlyphInfo* g = &c->glyph;
    const float corners[4][4] = {
        {X, Y, g->u, g->v},
        {X, Y + h, g->u, g->v + g->dv},
        {X + w, Y, g->u + g->du, g->v},
        {X + w, Y + h, g->u + g->du, g->v + g->dv},
    };
    for (int v = 0; v < 4; ++v) {
        float* out = mesh->vertices + mesh->vertexFloatCount;
        for (uint32_t s = 0; s < stride; ++s) out[s] = 0.0f;
        out[0] = corners[v][0];
        out[1] = corners[v][1];
        if (texture >= 0) {
            out[texture] = corners[v][2];
            out[texture + 1] = corners[v][3];
        }
        for (int32_t k = 0; colorOffset >= 0 && k < colorCount && k < 4; ++k) out[colorOffset + k] = color[k];
        mesh->vertexFloatCount += stride;
    }
    const uint32_t order[6] = {0, 2, 1, 1, 2, 3};
    for (uint32_t i : order) mesh->indices[mesh->indexCount++] = first + i;
    return true;
}

void emitLine(LayoutRun* run, const LaidCharacter* line, uint32_t count) {
    ++run->lines;
    int32_t width = lineWidth(line, count);
    if (width > run->widest) run->widest = width;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t page = line[i].glyph.page;
        if (page >= run->meshes->count) continue;
        if (!appendQuad(&run->meshes->meshes[page], &line[i], run->box->color)) run->failed = true;
    }
}

// The line-feed callback: modes 3 and 4 align every line, the others leave it.
void finishParagraphLine(int32_t mode, LaidCharacter* line, uint32_t count, int32_t width) {
    if (mode == TEXT_ALIGN_RIGHT) alignLineRight(line, count, width);
    else if (mode == TEXT_ALIGN_CENTRE) alignLineCentre(line, count, width);
}

bool prepareMeshes(TextMeshes* meshes, uint32_t pageCount) {
    uint32_t needed = pageCount ? pageCount : 1;
    uint32_t old = meshes->capacity;
    if (!growElements(&meshes->meshes, &meshes->capacity, needed)) return false;
    for (uint32_t i = old; i < meshes->capacity; ++i) meshes->meshes[i] = TextMesh{};
    meshes->count = pageCount;
    for (uint32_t i = 0; i < meshes->capacity; ++i) {
        meshes->meshes[i].vertexFloatCount = 0;
        meshes->meshes[i].indexCount = 0;
        meshes->meshes[i].vertexFormat = TEXT_VERTEX_FORMAT;
    }
    return true;
}

} // namespace

bool layoutText(const uint32_t* codes, uint32_t count, const TextLayoutBox* box, TextMeshes* meshes,
                TextSize* sizeOut) {
    FontAtlas* atlas = box->font;
    if (!atlas || !prepareMeshes(meshes, atlas->pageCount)) return false;
    if (!ensureFreeType()) return false;
    if (!atlas->face && !(atlas->flags & FONT_ATLAS_DEFAULT_FONT_FAILED)) {
        loadFontFile(atlas, DEFAULT_FONT_PATH);
        if (!atlas->face) atlas->flags |= FONT_ATLAS_DEFAULT_FONT_FAILED;
    }
    if (!atlas->face) return false;
    FT_Face face = atlas->face;
    FT_Set_Pixel_Sizes(face, atlas->pixelSize ? atlas->pixelSize : 1, 0);
    bool kerning = FT_HAS_KERNING(face);

    LayoutRun run = {box, atlas, meshes, static_cast<int32_t>(face->size->metrics.height >> 6), 0, 0, false};
    const int32_t mode = box->alignment;
    const int32_t width = box->width;
    int32_t lineY = box->top - face->size->metrics.y_ppem;
    int32_t penX = 0;
    int32_t penY = lineY;
    uint32_t lineCount = 0;
    FT_UInt previous = 0;

    uint32_t i = 0;
    while (i < count) {
        uint32_t code = codes[i];
        if (code == 13) {
            ++i;
            continue;
        }
        if (code == 10) {
            finishParagraphLine(mode, gLine, lineCount, width);
            emitLine(&run, gLine, lineCount);
            lineY -= run.lineHeight;
            penX = 0;
            penY = lineY;
            lineCount = 0;
            previous = 0;
            ++i;
            continue;
        }
        GlyphInfo glyph;
        if (!lookUpGlyph(atlas, code, &glyph)) {
            queueMissing(atlas, codes, i, count);
            return false;
        }
        // A glyph wider than the box still takes a line of its own: without a glyph on
        // the line there is nothing to break, and breaking would never end.
        if (lineCount > 0 && static_cast<int64_t>(penX) + glyph.size.x > width) {
            LineBreak cut = {lineCount, false, i};
            if (mode == TEXT_ALIGN_BREAK_WORDS && lineCount > 1) {
                cut = LineBreak{lineCount - 1, true, gLine[lineCount - 1].source};
            } else if (mode >= TEXT_ALIGN_WRAP && mode <= TEXT_ALIGN_JUSTIFY) {
                GlyphInfo hyphen;
                int32_t hyphenWidth = lookUpGlyph(atlas, '-', &hyphen) ? hyphen.size.x : 0;
                cut = findWordWrap(gLine, lineCount, code, i, width, hyphenWidth);
            }
            if (cut.hyphen) {
                GlyphInfo hyphen;
                if (!lookUpGlyph(atlas, '-', &hyphen)) {
                    queuePendingGlyph(atlas, '-');
                    queueMissing(atlas, codes, i, count);
                    return false;
                }
                LaidCharacter* end = &gLine[cut.keep];
                end->code = '-';
                end->glyph = hyphen;
                ++cut.keep;
            }
            if (mode == TEXT_ALIGN_RIGHT) alignLineRight(gLine, cut.keep, width);
            else if (mode == TEXT_ALIGN_CENTRE) alignLineCentre(gLine, cut.keep, width);
            else if (mode == TEXT_ALIGN_JUSTIFY) justifyLine(gLine, cut.keep, width);
            emitLine(&run, gLine, cut.keep);
            lineY -= run.lineHeight;
            penX = 0;
            penY = lineY;
            lineCount = 0;
            previous = 0;
            i = cut.resume;
            continue;
        }
        if (!growElements(&gLine, &gLineCapacity, lineCount + 2)) return false;
        gLine[lineCount++] = LaidCharacter{code, i, penX, penY, glyph};
        FT_UInt index = kerning ? FT_Get_Char_Index(face, code) : 0;
        int32_t kern = 0;
        if (kerning && previous && index) {
            FT_Vector delta = {0, 0};
            if (FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &delta) == 0) kern = floorShift6(delta.x);
        }
        penX += glyph.advance.x + kern;
        penY += glyph.advance.y;
        previous = index;
        ++i;
    }
    finishParagraphLine(mode, gLine, lineCount, width);
    emitLine(&run, gLine, lineCount);
    if (run.failed) return false;
    if (sizeOut) *sizeOut = TextSize{run.widest, static_cast<int32_t>(run.lines) * run.lineHeight};
    return true;
}

void releaseTextMeshes(TextMeshes* meshes) {
    for (uint32_t i = 0; i < meshes->capacity; ++i) {
        releaseBlock(meshes->meshes[i].vertices);
        releaseBlock(meshes->meshes[i].indices);
    }
    releaseBlock(meshes->meshes);
    *meshes = TextMeshes{};
}

uint32_t textMeshVertexCount(const TextMesh* mesh) {
    int32_t slots = vertexFormatSlots(mesh->vertexFormat);
    return slots > 0 ? mesh->vertexFloatCount / static_cast<uint32_t>(slots) : 0;
}
