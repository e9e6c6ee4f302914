// The desktop portal's screenshot alone, through the code a capture uses: the call until
// the portal answers, and with reading (and deleting) its picture. Run it inside the
// session (scripts/wayland-session.sh run DIR ...). Usage: portal_call [RUNS]
#include "platform/PortalScreenshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSize>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> call, read;
    QSize size;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        const PortalScreenshot shot = PortalScreenshot::take(std::chrono::seconds(30));
        if (shot.outcome != PortalScreenshot::Taken) {
            std::fprintf(stderr, "portal_call: no picture (%d) %s\n", int(shot.outcome),
                         qPrintable(shot.error));
            return 1;
        }
        size = shot.image.size();
        call.push_back(shot.callMs);
        read.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("portal call %.1f ms, with reading its %dx%d picture %.1f ms (medians of %d)\n",
                median(call), size.width(), size.height(), median(read), runs);
    return 0;
}
