// The undo history at 3840x2160: memory after 200 pushes that each change a 200x100 area,
// and the time of an undo and a redo. Prints its figures; asserts nothing.
#include "Fakes.h"
#include "capture/frmCapture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <cstdio>
#include <fstream>
#include <string>

namespace {
long rssKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QSize size(3840, 2160);
    FakePlatform fakes(size);
    const QString file =
        qEnvironmentVariable("KIVO_BENCH_IMAGES", QStringLiteral(KIVO_BENCH_IMAGES)) +
        QStringLiteral("/desktop-3840x2160.png");
    fakes.screen.image = QImage(file).convertToFormat(QImage::Format_RGB32);
    if (fakes.screen.image.size() != size) {
        std::fprintf(stderr, "bench_history: no 3840x2160 picture at %s\n", qPrintable(file));
        return 1;
    }
    frmCapture w(fakes.platform());
    w.Load();
    const long rss0 = rssKb();

    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 200; ++i) {
        const QRect r((i * 173) % (size.width() - 200), (i * 97) % (size.height() - 100), 200, 100);
        const QColor c = QColor::fromHsv((i * 37) % 360, 255, 255);
        w.canvas().draw(r, [r, c](QPainter& p) {
            p.setPen(c);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.drawLine(r.topLeft(), r.bottomRight());
        });
        w.HistoryPush();
    }
    const double pushMs = t.nsecsElapsed() / 1e6 / 200;
    std::printf("history at 3840x2160: 200 pushes of 200x100 areas\n");
    std::printf("  step bytes held:   %.1f MB\n", w.arrHistory.stepBytes() / 1048576.0);
    std::printf("  resident growth:   %.1f MB (includes the picture's one copy-on-write copy)\n",
                (rssKb() - rss0) / 1024.0);
    std::printf("  push:              %.3f ms average\n", pushMs);

    double worstUndo = 0, worstRedo = 0, sumUndo = 0, sumRedo = 0;
    for (int i = 0; i < 200; ++i) {
        t.restart();
        w.Undo();
        const double ms = t.nsecsElapsed() / 1e6;
        sumUndo += ms;
        worstUndo = std::max(worstUndo, ms);
    }
    for (int i = 0; i < 200; ++i) {
        t.restart();
        w.Redo();
        const double ms = t.nsecsElapsed() / 1e6;
        sumRedo += ms;
        worstRedo = std::max(worstRedo, ms);
    }
    std::printf("  undo:              %.3f ms average, %.3f ms worst\n", sumUndo / 200, worstUndo);
    std::printf("  redo:              %.3f ms average, %.3f ms worst\n", sumRedo / 200, worstRedo);
    return 0;
}
