#pragma once
#include <QPixmap>

// The pictures of the font-size picker, drawn in code: the three 50 x 22 faces of the
// size box (0 normal, 1 hover, 2 pressed) and the 16 x 16 blue letter beside it; drawn
// afresh at `scale` times the size, so they stay sharp.
QPixmap comboFacePicture(int index, float scale = 1);
QPixmap letterPicture(float scale = 1);
