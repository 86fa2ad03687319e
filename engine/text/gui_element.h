// A textured element of the GUI (an image, a transformed quad) with its own placement
// inside a parent's: model = parent x T(position) x R(rotation) x S(scale) x T(-pivot).
#pragma once

#include "engine/text/gui.h"

struct GuiElement {
    GpuMesh* mesh;     // what is drawn, vertex format 0
    int32_t* texture;  // bound on unit 0; null binds nothing
    Vec3 position;
    Quat rotation;
    Vec3 scale;
    Vec3 pivot;
};

Mat4 guiElementMatrix(const GuiElement* element, const Mat4* parent);

// Draws the element with the built-in image shader in the GUI's projection, then binds
// the shader that was bound before again.
void drawGuiElement(GuiContext* gui, const GuiElement* element, const Mat4* parent);
