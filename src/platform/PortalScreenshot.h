#pragma once
#include <QImage>
#include <QString>
#include <chrono>

// One picture of the whole desktop (every output) from the desktop portal's Screenshot
// interface, asked for without the desktop's own screenshot dialog (interactive false).
struct PortalScreenshot {
    enum Outcome { Taken, Cancelled, Refused, NoAnswer, Failed };
    Outcome outcome = Failed;
    QImage image;      // when Taken: the picture, Format_RGB32
    QString error;     // when Failed: what went wrong, for the message and the log
    double callMs = 0; // from the call to the portal's answer, without reading the picture

    // Blocks the calling thread until the portal answers, or for at most timeout. The
    // caller's event loop does not run meanwhile, so nothing can re-enter it. The file the
    // portal writes is read, then deleted: a by-product nobody asked for.
    static PortalScreenshot take(std::chrono::milliseconds timeout);
};
