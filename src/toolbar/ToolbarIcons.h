#pragma once
#include <QPixmap>

// The 16 x 16 icons of the toolbar buttons, drawn in code: index as the button array
// numbers them (0 undo, 1 copy and exit, 2 save, 3 exit, 4 arrow, 5 text, 6 ellipse,
// 7 rectangle, 8 redo; 9 repeats 1).
QPixmap toolbarIcon(int index);
