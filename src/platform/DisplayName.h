#pragma once
#include <QByteArray>
#include <QString>

// A short name for the desktop this process shows on, safe as part of a file name, so that
// per-desktop files of one user (two sessions sharing a runtime folder) never meet.
// WAYLAND_DISPLAY wins over DISPLAY (Xwayland sets both for one desktop). X11 names that
// reach one server agree: ":0", ":0.1" and "unix:0" all give "x11-0"; "host:10.0" gives
// "x11-host-10". Anything but letters, digits and '-' is written as "_" and two hex digits,
// so no '/' or '.' from the environment reaches a path; over-long names are hashed.
// Empty when neither variable is set.
namespace DisplayName {
QString fileKey(const QByteArray& waylandDisplay, const QByteArray& x11Display);
// The same, from this process's environment.
QString fileKey();
} // namespace DisplayName
