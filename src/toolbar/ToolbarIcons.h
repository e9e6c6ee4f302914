#pragma once
#include <QPixmap>

// The 16 x 16 icons of the toolbar buttons, drawn in code, by button index (kivo::ToolbarIndex;
// both copy buttons share the tick).
QPixmap toolbarIcon(int index);
