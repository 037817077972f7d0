// The inks p_Ink draws with: factors 0 to 1 of red, green and blue for inks
// 1 to 8 (the riders' own, in every place a rider is drawn), ink 9 (white)
// and, last, the grey of any other ink. Two palettes: the classic one, and
// a clear one whose riders stay apart from each other, from white and from
// the match's dark blue for players with any of the three kinds of colour
// blindness.
#pragma once

#include "game/numbers.h"

constexpr int INK_COUNT = 9;
constexpr int RIDER_INKS = 8;

// Every factor is above 0, so a brightness of 500 (a dead rider's trail
// under "Line Remains") saturates every ink to white.
constexpr float INK_TABLES[PALETTE_COUNT][INK_COUNT + 1][3] = {
    {
        {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f}, {1.0f, 1.0f, 0.1f}, {0.1f, 1.0f, 0.1f}, {0.1f, 1.0f, 1.0f},
        {0.1f, 0.1f, 1.0f}, {0.5f, 0.1f, 1.0f}, {1.0f, 0.1f, 0.5f}, {1.0f, 1.0f, 1.0f}, {0.3f, 0.3f, 0.3f},
    },
    {
        {0.99f, 0.04f, 0.07f}, {1.0f, 0.54f, 0.69f}, {0.91f, 0.85f, 0.04f}, {0.11f, 0.59f, 0.36f}, {0.66f, 1.0f, 0.72f},
        {0.43f, 0.43f, 0.98f}, {0.77f, 0.66f, 1.0f}, {0.92f, 0.15f, 0.59f}, {1.0f, 1.0f, 1.0f}, {0.3f, 0.3f, 0.3f},
    },
};
