// The menus' public part: the credit lines the game builds at start-up.
#pragma once

#include "runtime/core/core.h"

// The lines of the credits box, in scrolling order; the last one ("End") is
// never scrolled into view. Built by bbInit; read only by the credits box.
extern Array<String> bb_KRV_CreditText;
// A new array of the credit lines.
Array<String> CreditText();
