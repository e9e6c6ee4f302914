#pragma once
#include <QIcon>
#include <QPixmap>

// The program's icon at 16, 24, 32 and 48 pixels (tray, windows, About box).
QIcon appIcon();
// One size of it, as drawn (16, 24, 32 or 48).
QPixmap appIconPixmap(int size);
