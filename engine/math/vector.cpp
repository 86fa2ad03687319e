#include "engine/math/vector.h"

void normalise3(Vec3* v) {
    float squared = dot3(*v, *v);
    if (squared == 0.0f) return;
    float length = sqrtf(squared);
    v->x /= length;
    v->y /= length;
    v->z /= length;
}
