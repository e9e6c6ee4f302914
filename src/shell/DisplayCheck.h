#pragma once

// Whether the window system Qt will use can be reached. When not, says why in one line on
// stderr, so that the caller can end with status 1 instead of letting Qt abort.
bool displayAvailable();
