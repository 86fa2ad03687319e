#include "tools/content/texts.h"

#include "engine/text/name_ids.h"
#include "game/feedback.h"

#include <string.h>

namespace {

// Texts are printf formats: a literal percent sign would have to be written "%%", and
// only the counter takes arguments. French uses a no-break space (U+00A0) before
// "!", "?" and ":", and the typographic apostrophe (U+2019).
const char* const kEnglish[TEXT_COUNT] = {
    "Start",                   // 0 start
    "Restart",                 // 1 restart
    "Continue",                // 2 continueText
    "Back to the collection",  // 3 returnToCollection
    "Time",                    // 4 timeText
    "Red key",                 // 5 redKey
    "Crowbar",                 // 6 crowbar
    "Keypad",                  // 7 digicode
    "Paper note",              // 8 paperNote
    "Red door",                // 9 redDoor
    "Quit",                    // 10 menu button
    "You escaped!",            // 11 ending
    "Unlocked: %u / %u",       // 12 counter
    "Locker room door",        // 13 vestiaireDoor
    "Access card",             // 14 accessCard
    "Exit door",               // 15 exitDoor
    "Warehouse shutter",       // 16 warehouseDoor
    "Keypad",                  // 17 DigicodeCase
    "1", "2", "3", "4", "5", "6", "7", "8", "9", // 18..26
    "0",                       // 27 DigicodeButton0
    "*",                       // 28 DigicodeButtonStar
    "#",                       // 29 DigicodeButtonPound
    "Office door",             // 30 deskDoor
    "Fire door",               // 31 corridorDoor
    "Mike, they changed the exit code again. It is now 3859. Burn this note once you know it by heart!", // 32
    "Move the mouse over one of the four monitors.",                                             // 33
    "Point at things in a camera image to read their names.",                                    // 34
    "Click another camera seen on a monitor to watch through it.",                               // 35
    "Press the Left and Right arrow keys to go back to cameras you already reached.",            // 36
    "Click doors, lockers and drawers to open them. Click an item to take it.",                  // 37
    "Drag an item from your inventory onto the door it opens.",                                  // 38
    "Hold the right mouse button and move the mouse to look around.",                           // 39
    "Locker 1",                // 40 locker1
    "Locker 2",                // 41 locker2
    "Locker 3",                // 42 locker3
    "Locker 4",                // 43 locker4
    "Top drawer",              // 44 drawer1
    "Middle drawer",           // 45 drawer2
    "Bottom drawer",           // 46 drawer3
    "Tool cabinet",            // 47 cabinet
    "Empty crate",             // 48 crate
    "Empty barrel",            // 49 barrel
    "Potted plant",            // 50 plant
    "Press Escape to go back to the game.",             // 51 under the pause title
    "Locked. It takes a key.",                          // 52 the red door clicked
    "Jammed. A sturdy tool could force it up.",         // 53 the shutter clicked
    "Locked. The reader beside it wants an access card.", // 54 the office door clicked
    "Locked. The code typed on the keypad opens it.",   // 55 the exit door clicked
    "Locked. Something else opens it.",                 // 56 any other locked object
    "That item does not open it.",                      // 57 a wrong item dropped
    "No item needed: just click it.",                   // 58 an item on what a click opens
    "It is already open.",                              // 59 an item on what is open
    "Drop items on the doors they open.",               // 60 an item dropped on nothing it opens
    "Nothing to do with it.",                           // 61 scenery clicked
    "Type the code with the digit keys.",               // 62 the keypad's case, star or pound
    "Wrong code.",                                      // 63 four digits that are not the code
    "No other camera reached on this monitor yet.",     // 64 an arrow key with one camera
};

const char* const kFrench[TEXT_COUNT] = {
    "Commencer",
    "Recommencer",
    "Continuer",
    "Retour à la collection",
    "Temps",
    "Clé rouge",
    "Pied-de-biche",
    "Digicode",
    "Bout de papier",
    "Porte rouge",
    "Quitter",
    "Vous vous êtes échappé\u00a0!",
    "Déverrouillé\u00a0: %u / %u",
    "Porte du vestiaire",
    "Badge d’accès",
    "Porte de sortie",
    "Rideau de l’entrepôt",
    "Digicode",
    "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "0",
    "*",
    "#",
    "Porte des bureaux",
    "Porte coupe-feu",
    "Mike, ils ont encore changé le code de sortie. C’est maintenant 3859. Brûle ce papier dès que tu le "
    "connais par cœur\u00a0!",
    "Placez la souris sur l’un des quatre écrans.",
    "Pointez les objets dans l’image d’une caméra pour lire leur nom.",
    "Cliquez sur une autre caméra visible à l’écran pour regarder à travers elle.",
    "Appuyez sur les flèches gauche et droite pour revenir aux caméras déjà atteintes.",
    "Cliquez sur les portes, casiers et tiroirs pour les ouvrir, et sur un objet pour le prendre.",
    "Faites glisser un objet de l’inventaire sur la porte qu’il ouvre.",
    "Maintenez le bouton droit de la souris et bougez-la pour regarder autour de vous.",
    "Casier 1",
    "Casier 2",
    "Casier 3",
    "Casier 4",
    "Tiroir du haut",
    "Tiroir du milieu",
    "Tiroir du bas",
    "Armoire à outils",
    "Caisse vide",
    "Tonneau vide",
    "Plante en pot",
    "Appuyez sur Échap pour revenir au jeu.",
    "Fermée à clé. Il faut une clé.",
    "Coincé. Un outil solide pourrait le forcer.",
    "Verrouillée. Le lecteur à côté demande un badge.",
    "Verrouillée. Le code tapé sur le digicode l’ouvre.",
    "Verrouillé. Il faut autre chose pour l’ouvrir.",
    "Cet objet ne l’ouvre pas.",
    "Pas besoin d’objet\u00a0: cliquez dessus.",
    "C’est déjà ouvert.",
    "Déposez les objets sur les portes qu’ils ouvrent.",
    "Rien à en faire.",
    "Tapez le code avec les touches chiffrées.",
    "Code erroné.",
    "Aucune autre caméra atteinte sur cet écran.",
};

static_assert(int(TEXT_FIRST_FEEDBACK) == int(TEXT_ID_FIRST_FEEDBACK) && int(TEXT_COUNT) == int(TEXT_ID_FEEDBACK_END),
              "the feedback texts follow the object names and end the table");

} // namespace

const char* gameText(int language, int id) {
    if (id < 0 || id >= TEXT_COUNT || language < 0 || language >= CONTENT_LANGUAGE_COUNT) return nullptr;
    return language == 0 ? kEnglish[id] : kFrench[id];
}

int lookupNameId(const char* name) {
    // The game's own table, so the content and the game cannot disagree on a key.
    static NameIds names;
    static bool filled = false;
    if (!filled) {
        fillNameIds(&names);
        filled = true;
    }
    return lookUpNameId(&names, name);
}
