// The code the exit keypad opens on; the paper note tells it to the player.
#pragma once

inline constexpr char kKeypadCode[] = "3859";
