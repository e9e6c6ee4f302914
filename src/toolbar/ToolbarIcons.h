#pragma once
#include <QPixmap>

// The 16 x 16 icons of the toolbar buttons, drawn in code, by button index (kivo::ToolbarIndex;
// both copy buttons share the tick); drawn afresh at `scale` times the size, so they stay sharp.
QPixmap toolbarIcon(int index, float scale = 1);
