// What each drawn view depends on, so that a view is drawn again only when its picture
// can have changed. A software rasteriser spends most of a frame on the four camera
// views and the room, and while the player only looks, none of them changes.
//
// A view's key is a hash of everything its passes read: the camera or the player's
// view, every drawn object's place, mesh and texture, which objects are highlighted
// through the monitor, and for the room the keys of the four monitor pictures it
// shows. Equal keys, equal pictures; the targets' re-creation forgets every key.
#pragma once

#include "engine/math/matrix.h"

#include <stdint.h>

struct GameState;

enum { VIEW_CACHE_MONITORS = 4 };

struct ViewCache {
    uint64_t monitorKeys[VIEW_CACHE_MONITORS]; // 0: not drawn into the current targets
    uint64_t roomKey;                          // 0: not drawn into the current targets
    bool drawEverything; // every pass every frame, as if every view changed (-fullRedraw)
    bool roomHalfSize;   // the kept room picture is the half-size one of a turning head
    bool playerViewKnown;
    Mat4 lastPlayerView; // the player's view at the last frame, to tell a turning head
};

// The key of monitor k's camera view (never 0).
uint64_t monitorViewKey(const GameState* game, uint32_t k);

// The key of the room view, which shows the monitor pictures of these keys (never 0).
uint64_t roomViewKey(const GameState* game, const uint64_t monitorKeys[VIEW_CACHE_MONITORS]);

// The targets were made anew: every view is to be drawn again.
void forgetDrawnViews(ViewCache* cache);
