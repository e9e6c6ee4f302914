// CPU time per preview move of each shape tool (including the repaint it causes) at
// 1920x1080 and 3840x2160, and the undo history's memory after 200 committed shapes at
// 3840x2160. Run without arguments: it runs itself once per size on an offscreen screen of
// that size (or give WxH to run one size on the current platform).
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"
#include "platform/MousePointer.h"
#include "platform/ScreenSource.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QThread>
#include <QWindow>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {
struct NoisyScreen : ScreenSource {
    QSize s;
    explicit NoisyScreen(QSize size) : s(size) {}
    QRect geometry() const override { return QRect(QPoint(0, 0), s); }
    QStringList names() const override { return {}; }
    bool choose(const QString&) override { return true; }
    QImage grab() override {
        QImage img(s, QImage::Format_RGB32);
        QRandomGenerator rng(7);
        for (int y = 0; y < s.height(); ++y) {
            auto* row = reinterpret_cast<quint32*>(img.scanLine(y));
            for (int x = 0; x < s.width(); ++x)
                row[x] = 0xFF000000u | (rng.generate() & 0xFFFFFFu);
        }
        return img;
    }
};
struct NullPointer : MousePointer {
    int v = 0;
    void set(int value) override { v = value; }
    int value() const override { return v; }
};

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long rssKb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

const QString kTools[] = {kivo::kToolRectangle, kivo::kToolEllipse, kivo::kToolArrow};

// A left-button event at window pixel (x, y), handled at once as the window system's would be.
void mouse(QWidget* w, QEvent::Type type, float x, float y) {
    const QPointF at(x, y);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void press(QWidget* w, float x, float y) {
    mouse(w, QEvent::MouseButtonPress, x, y);
}
void drag(QWidget* w, float x, float y) {
    mouse(w, QEvent::MouseMove, x, y);
}
void release(QWidget* w, float x, float y) {
    mouse(w, QEvent::MouseButtonRelease, x, y);
}

// Counts the paint events of the window, to show that every move was repainted.
struct PaintCounter : QObject {
    int n = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        n += e->type() == QEvent::Paint;
        return false;
    }
};

struct Capture {
    PaintCounter paints;
    NoisyScreen screen;
    NullPointer pointer;
    frmCapture* w = nullptr;
    explicit Capture(QSize size) : screen(size) {
        Platform p;
        p.screen = &screen;
        p.pointer = &pointer;
        w = new frmCapture(p);
        w->Load();
        w->showCapture();
        // Paints reach the window only once it is exposed.
        for (int i = 0; i < 200 && !(w->windowHandle() && w->windowHandle()->isExposed()); ++i)
            QThread::msleep(5), QApplication::processEvents();
        w->installEventFilter(&paints);
        QApplication::processEvents();
        // A selection over the middle three quarters of the screen.
        const float W = float(size.width()), H = float(size.height());
        press(w, W / 8, H / 8);
        drag(w, W * 7 / 8, H * 7 / 8);
        release(w, W * 7 / 8, H * 7 / 8);
        w->bTool = true;
        QApplication::processEvents();
    }
    ~Capture() { delete w; }
};

// Drag with the tool from near the selection's top-left corner; the pointer circles over
// the selection so that the shape grows and shrinks. CPU ms per move, repaint included.
double previewMove(Capture& c, const QString& tool, int moves, double& handlerMs) {
    handlerMs = 0;
    frmCapture* w = c.w;
    w->sTool = tool;
    const float L = w->Shape1.Left(), T = w->Shape1.Top(), W = w->Shape1.Width(),
                H = w->Shape1.Height();
    press(w, L + W * 0.1f, T + H * 0.1f);
    QApplication::processEvents();
    const double t0 = cpuMs();
    for (int i = 0; i < moves; ++i) {
        const double a = 6.283185307 * i / moves;
        const float x = L + W * float(0.55 + 0.4 * std::cos(a));
        const float y = T + H * float(0.55 + 0.4 * std::sin(a));
        const double h0 = cpuMs();
        drag(w, x, y);
        handlerMs += cpuMs() - h0;
        QApplication::processEvents();
    }
    const double per = (cpuMs() - t0) / moves;
    handlerMs /= moves;
    // Leave without committing: the next drag starts from the same picture.
    w->canvas().setAutoRedraw(true);
    w->canvas().Cls();
    w->bDrawing = false;
    QApplication::processEvents();
    return per;
}

// One screen size per process: the offscreen platform's screen takes that size.
int runAt(QSize size, bool history) {
    std::printf("preview move at %dx%d (CPU ms per move, repaint included)\n", size.width(),
                size.height());
    {
        Capture c(size);
        std::printf("  window %dx%d on the %s platform\n", c.w->width(), c.w->height(),
                    qPrintable(QGuiApplication::platformName()));
        for (const QString& tool : kTools) {
            double handler = 0;
            previewMove(c, tool, 20, handler); // warm-up
            const int paintsBefore = c.paints.n;
            const double ms = previewMove(c, tool, 300, handler);
            std::printf(
                "  %-12s %.3f ms, of which the handler %.3f ms  (%d paints for 300 moves)\n",
                qPrintable(tool), ms, handler, c.paints.n - paintsBefore);
        }
        // For scale: what repainting the whole window once costs.
        const double t0 = cpuMs();
        for (int i = 0; i < 20; ++i) {
            c.w->update();
            QApplication::processEvents();
        }
        std::printf("  (whole-window repaint, for scale: %.3f ms)\n", (cpuMs() - t0) / 20);
    }
    if (!history)
        return 0;

    // 200 committed shapes of varied size.
    const long rssBefore = rssKb();
    Capture c(size);
    const long rssLoaded = rssKb();
    QRandomGenerator rng(42);
    const float L = c.w->Shape1.Left(), T = c.w->Shape1.Top(), W = c.w->Shape1.Width(),
                H = c.w->Shape1.Height();
    const double t0 = cpuMs();
    for (int i = 0; i < 200; ++i) {
        c.w->sTool = kTools[i % 3];
        const float x1 = L + 1 + float(rng.bounded(int(W) - 2)),
                    y1 = T + 1 + float(rng.bounded(int(H) - 2));
        const float x2 = x1 + float(rng.bounded(-800, 800)),
                    y2 = y1 + float(rng.bounded(-600, 600));
        press(c.w, x1, y1);
        drag(c.w, x2, y2);
        release(c.w, x2, y2);
        QApplication::processEvents();
    }
    const double commitMs = (cpuMs() - t0) / 200;
    std::printf("200 committed shapes at %dx%d (up to 1600x1200 each)\n", size.width(),
                size.height());
    std::printf("  history steps: %.1f MB (%d snapshots)\n",
                c.w->arrHistory.stepBytes() / 1048576.0, c.w->arrHistory.upperBound());
    std::printf("  process RSS growth over the loaded capture: %.1f MB (loaded capture: %.1f MB)\n",
                (rssKb() - rssLoaded) / 1024.0, (rssLoaded - rssBefore) / 1024.0);
    std::printf("  CPU per commit (drawing, history step, repaint): %.2f ms\n", commitMs);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        // Run once per screen size, each on an offscreen screen of that size.
        for (const char* size : {"1920x1080", "3840x2160"}) {
            const QString config = QStringLiteral("/tmp/bench_draw_screen_%1.json").arg(size);
            const QStringList wh = QString::fromLatin1(size).split(QLatin1Char('x'));
            FILE* f = std::fopen(qPrintable(config), "w");
            if (!f)
                return 1;
            std::fprintf(
                f,
                "{\"screens\":[{\"name\":\"bench\",\"x\":0,\"y\":0,\"width\":%s,\"height\":%s,"
                "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}",
                qPrintable(wh[0]), qPrintable(wh[1]));
            std::fclose(f);
            const QString cmd =
                QStringLiteral("QT_QPA_PLATFORM=offscreen:configfile=%1 '%2' %3")
                    .arg(config, QString::fromLocal8Bit(argv[0]), QLatin1String(size));
            if (std::system(qPrintable(cmd)) != 0)
                return 1;
            std::remove(qPrintable(config));
        }
        return 0;
    }
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    const QStringList wh = QString::fromLocal8Bit(argv[1]).split(QLatin1Char('x'));
    const QSize size(wh.value(0).toInt(), wh.value(1).toInt());
    if (size.isEmpty())
        return 2;
    return runAt(size, size.width() >= 3840);
}
