// Where the two backends differ on purpose: one row per difference, with what differs,
// why, and what each backend does. Tests take the value for the backend under test
// from here (difference()), so every difference is written down once and tested as
// what it is; anything else must come out the same on both backends.
#pragma once

enum BackendDifference {
    DIFFERENCE_BLEND_MODE_2,
    DIFFERENCE_CLIP_DEPTH,
    DIFFERENCE_TRANSFORMED_TEXT_Z,
    DIFFERENCE_TARGET_ROW_ORDER,
    DIFFERENCE_SMOOTH_READ_AT_UPLOAD,
    DIFFERENCE_RENDER_TARGET_MEANS_NO_MIP_FILTER,
    DIFFERENCE_POINT_FILTER_USES_MIPS,
    DIFFERENCE_UNIFORM_TYPE_CHECKED,
    DIFFERENCE_EARLIER_DRAWS_SEE_REUPLOADED_TEXTURE,
    DIFFERENCE_COUNT
};

struct DifferenceRow {
    const char* what;
    const char* reason;
    int openGL;
    int direct3D12;
};

extern const DifferenceRow kBackendDifferences[DIFFERENCE_COUNT];

// The row's value for the backend under test.
int difference(BackendDifference which);
