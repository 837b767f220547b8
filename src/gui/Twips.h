#pragma once
// The windows' measures were designed in twips; at the usual 96 dots per inch 15 twips make a pixel.

constexpr int TwipsToPixels(int twips)
{
    return twips / 15;
}
