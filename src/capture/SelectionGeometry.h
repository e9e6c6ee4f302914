#pragma once
// Where the selection's companions go, and how a drag changes the selection: plain
// arithmetic on the selection rectangle (Left, Top, Width, Height as 32-bit floats), with no
// window involved. `scale` is the chrome's (form/ChromeScale.h): the gaps between the
// selection and its companions grow with it; at 1 they are the designed ones.
#include <optional>

namespace geometry {

struct Place {
    float left, top;
};
struct Box {
    float left, top, width, height;
};

// The top-left corner of handle index (0 top-left, 1 top, 2 top-right, 3 left, 4 bottom-left,
// 5 bottom, 6 bottom-right, 7 right) of size hw x hh on the selection.
Place handlePlace(int index, const Box& sel, float hw, float hh);

struct Corners {
    float x1, y1, x2, y2; // left, top, right, bottom
};

// The selection while handle index (hw x hh) is dragged to the pointer (cx, cy), computed
// from the rectangle's corners as they were when the drag began; nothing when the drag
// passed the opposite edge.
std::optional<Box> resizedByHandle(int index, const Corners& atStart, float cx, float cy, float hw,
                                   float hh);

// The toolbar strip (pw x ph) 4 pixels under the selection's bottom-right corner, or inside
// it when it would pass the screen's last row (screenH), never left of the screen.
Place toolbarPlace(const Box& sel, float pw, float ph, float screenH, float scale = 1);

// The style panel's top: 3 pixels under the strip, or above it when it would pass the last
// row.
float stylePanelTop(float stripTop, float stripHeight, float panelHeight, float screenH,
                    float scale = 1);

// The size read-out's place, 2 pixels inside the selection's top-left corner.
Place readoutPlace(const Box& sel, float scale = 1);
// The colour read-out's top, 2 pixels under the size read-out.
float infoTop(float readoutTop, float readoutHeight, float scale = 1);

// One coordinate of a whole-selection move to start - (down - now), kept on the screen:
// first not before 0, then not past the screen's end (so a selection longer than the screen
// ends on the screen's far edge).
float movedEdge(float start, float down, float now, float size, float screen);

// v held to [lo, lo + len].
float clampToSpan(float v, float lo, float len);

// A pointer coordinate held to the window's pixels 0 .. extent - 1: where it would be if the
// pointer could not leave the window (it can, onto another monitor, during a drag).
float heldInside(float v, float extent);

} // namespace geometry
