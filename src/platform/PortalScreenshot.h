#pragma once
#include <QImage>
#include <QString>
#include <chrono>
#include <memory>

class QThread;

// One picture of the whole desktop (every output) from the desktop portal's Screenshot
// interface, asked for without the desktop's own screenshot dialog (interactive false).
struct PortalScreenshot {
    enum Outcome { Taken, Cancelled, Refused, NoAnswer, Failed };
    Outcome outcome = Failed;
    QImage image;      // when Taken: the picture, Format_RGB32
    QString error;     // when Failed: what went wrong, for the message and the log
    double callMs = 0; // from the call to the portal's answer, without reading the picture

    // One request, on a thread of its own (it waits for a signal in that thread's event
    // loop): started at once, so that the caller can get on with other work. wait() blocks
    // the caller until the portal answers, or timeout has passed since the start; the
    // caller's event loop does not run meanwhile, so nothing can re-enter it. The file the
    // portal writes is read, then deleted: a by-product nobody asked for.
    class Request {
    public:
        explicit Request(std::chrono::milliseconds timeout);
        ~Request();
        Request(const Request&) = delete;
        Request& operator=(const Request&) = delete;
        PortalScreenshot wait();

    private:
        std::unique_ptr<QThread> thread_;
        std::unique_ptr<PortalScreenshot> shot_;
    };
    static PortalScreenshot take(std::chrono::milliseconds timeout) {
        return Request(timeout).wait();
    }
};
