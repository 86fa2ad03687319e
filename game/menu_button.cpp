#include "game/interaction.h"

#include "engine/text/gui.h"
#include "engine/text/gui_widget.h"

bool updateMenuButton(GameState* game, const InputSnapshot* input) {
    setGuiInput(&game->gui, input->cursorX, input->cursorY, input->leftDown);
    return guiWidgetInput(&game->gui, &game->menuButton);
}
