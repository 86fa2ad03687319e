// What each drawn view depends on, so that a view is drawn again only when its picture
// can have changed. A software rasteriser spends most of a frame on the four camera
// views and the room, and while the player only looks, none of them changes.
//
// A view's key is a hash of everything its passes read: the camera or the player's
// view, every drawn object's place, mesh and texture, which objects are highlighted
// through the monitor, and for the room the keys (and sizes) of the four monitor
// pictures it shows. Equal keys, equal pictures; the targets' re-creation forgets
// every view.
//
// A view whose key changes frame after frame (a turning head, a monitor whose picture
// keeps changing) is drawn at half its size from its second changing frame on, and at
// full size again the first frame it stands still: motion stays smooth on a software
// rasteriser, and a picture that stays is sharp. The rule looks only at the keys, so a
// game that draws every pass every frame makes the same choices.
#pragma once

#include <stdint.h>

struct GameState;

enum { VIEW_CACHE_MONITORS = 4 };

struct ViewState {
    uint64_t drawnKey;     // the key of the picture the view's targets hold; 0: none
    bool drawnHalfSize;    // that picture is a half-size one
    uint64_t lastKey;      // the key at the last frame; 0 before the first
    bool changedLastFrame; // the key at the last frame differed from the one before
};

struct ViewCache {
    ViewState monitors[VIEW_CACHE_MONITORS];
    ViewState room;
    bool drawEverything; // every pass every frame, sizes chosen by the keys (-fullRedraw)
    // Every view's key made new every frame, as if everything it shows moved all the
    // time (-changingViews): the worst case of the rule above, for measuring it.
    bool changeEveryFrame;
    uint64_t frame;
};

// Takes this frame's key of a view: true when its picture is to be drawn (always, with
// drawEverything), and *halfSize tells at which size. The view then holds that picture.
bool takeViewKey(ViewState* view, uint64_t key, bool drawEverything, bool* halfSize);

// The key of monitor k's camera view (never 0).
uint64_t monitorViewKey(const GameState* game, uint32_t k);

// The key of the room view, which shows the monitor pictures of these views (never 0).
uint64_t roomViewKey(const GameState* game, const ViewState monitors[VIEW_CACHE_MONITORS]);

// The targets were made anew: every view is to be drawn again.
void forgetDrawnViews(ViewCache* cache);
