#pragma once
#include <QIcon>

// The program's icon at 16, 24, 32 and 48 pixels (tray, windows, About box).
QIcon appIcon();
