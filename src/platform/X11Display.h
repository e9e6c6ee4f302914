#pragma once

// Whether an X display can be opened with the user's credentials: a dead server or a
// refused authorisation both count as no. name null means $DISPLAY.
bool x11DisplayOpens(const char* name = nullptr);
