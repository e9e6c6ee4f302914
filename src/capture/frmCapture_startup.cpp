// The capture window itself: its controls, its start-up that freezes the screen, its
// painting and the routing of its own mouse and key events.
#include "capture/frmCapture.h"

#include "capture/BackingStorePrefault.h"
#include "capture/HandleWidget.h"
#include "capture/MouseArgs.h"
#include "capture/ReadoutLabel.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"
#include "platform/Program.h"
#include "platform/ScreenSource.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarStrip.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {
const QString kAlreadyRunning = QStringLiteral("程序已运行，请查看任务栏的托盘图标!!!");
const QString kAppTitle = QStringLiteral("Kivo独立截图截屏软件");

} // namespace

frmCapture::frmCapture(const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), platform_(platform) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(kAppTitle);
    const QSize screen = platform_.screen ? platform_.screen->size() : QSize();
    sw_ = float(screen.width());
    sh_ = float(screen.height());
    createControls();
    connect(&canvas_, &Canvas::changed, this, qOverload<const QRect&>(&QWidget::update));
}

frmCapture::~frmCapture() = default;

void frmCapture::createControls() {
    Shape1.setRepaint(
        [this](const QRect& before, const QRect& after) { repaintFrame(before, after); });

    lblPosW_ = new ReadoutLabel(this);
    lblInfoW_ = new ReadoutLabel(this);
    LblPos.setWidget(lblPosW_);
    lblInfo.setWidget(lblInfoW_);

    for (int i = 0; i < 8; ++i) {
        handles_[size_t(i)] = new HandleWidget(this, i);
        Image1[size_t(i)].setWidget(handles_[size_t(i)]);
        Image1[size_t(i)].setGeometry(0, 0, 4, 4);
    }

    toolbar_ = new ToolbarStrip(this);
    Picture1.setWidget(toolbar_);
    Picture1.setGeometry(0, 0, 265, 26);

    stylePanel_ = new StylePanel(this);
    Picture2.setWidget(stylePanel_);
    Picture2.setGeometry(0, 420.0f / 15, 3975.0f / 15, 560.0f / 15);

    textEditW_ = new QLineEdit(this);
    textEditW_->setFrame(true);
    TextEdit.setWidget(textEditW_);
    TextEdit.setGeometry(2040.0f / 15, 1920.0f / 15, 495.0f / 15, 240.0f / 15);
    connect(textEditW_, &QLineEdit::textChanged, this, [this] { TextEdit_Change(); });

    drawFont_ = font();
}

bool frmCapture::Load() {
    loadClock_.start();
    // Refuse a second running copy of the program before anything else happens.
    if (platform_.instance && platform_.instance->previousInstance()) {
        platform_.messageBox->show(kAlreadyRunning, kAppTitle, MessageBox::Exclamation);
        platform_.program->end();
        return false;
    }

    // Park the toolbar strip above the window.
    Picture1.setTop(-Picture1.Height());
    Picture1.hide();

    canvas_.setAutoRedraw(true);
    platform_.pointer->set(PointerShape::Crosshair);

    // Freeze the screen: Image (and then Picture) share the grabbed pixels, no copy.
    const QSize size(kivo::roundInt(sw_), kivo::roundInt(sh_));
    setGeometry(0, 0, size.width(), size.height());
    platform_.screen->startGrab();
    BackingStorePrefault prefault(*this, size);
    QImage frozen = platform_.screen->grab();
    prefault.finish();
    grabMs_ = loadClock_.nsecsElapsed() / 1e6;
    if (frozen.isNull() && !platform_.screen->failure().isEmpty()) {
        platform_.pointer->set(PointerShape::Default);
        platform_.messageBox->show(platform_.screen->failure(), kAppTitle, MessageBox::Exclamation);
        return false;
    }
    if (frozen.size() != size || frozen.format() != QImage::Format_RGB32) {
        QImage full(size, QImage::Format_RGB32);
        full.fill(Qt::black);
        if (!frozen.isNull()) {
            QPainter p(&full);
            p.drawImage(0, 0, frozen);
        }
        frozen = full;
    }
    canvas_.setPicture(frozen);
    setGeometry(0, 0, size.width(), size.height());
    canvas_.commitImage();

    HistoryStart();

    sState = QStringLiteral("draw");
    bTool = false;
    lngKeepOpen = 1;
    return true;
}

void frmCapture::showCapture() {
    platform_.screen->showOver(*this);
    raise();
    activateWindow();
}

void frmCapture::Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    // The crosshair and size arrows belong to this window; do not leave them to others.
    platform_.pointer->set(PointerShape::Default);
    hide();
    Q_EMIT unloaded();
    deleteLater();
}

void frmCapture::repaintFrame(const QRect& before, const QRect& after) {
    // Only the outline is painted, so only its four edges need repainting.
    for (const QRect& r : {before, after}) {
        if (r.width() <= 0 || r.height() <= 0)
            continue;
        update(QRect(r.left(), r.top(), r.width(), 1));
        update(QRect(r.left(), r.bottom(), r.width(), 1));
        update(QRect(r.left(), r.top(), 1, r.height()));
        update(QRect(r.right(), r.top(), 1, r.height()));
    }
}

void frmCapture::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    canvas_.paint(p, e->region());
    if (!firstPaintReported_ && qEnvironmentVariableIsSet("KIVO_BENCH_TIMING")) {
        // For the start-up benchmark: how long from the request to the frozen screen painted.
        firstPaintReported_ = true;
        QTimer::singleShot(0, this, [this] {
            // "at": the wall clock, to time from a request made by another process
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::fprintf(stderr, "kivo-timing: grab %.1f ms, painted %.1f ms, at %.6f s\n", grabMs_,
                         loadClock_.nsecsElapsed() / 1e6,
                         std::chrono::duration<double>(now).count());
        });
    }
    if (Shape1.Visible()) {
        const QRect r = Shape1.pixelRect();
        if (r.width() > 0 && r.height() > 0) {
            // The one-pixel outline as four filled strips: the same pixels as a cosmetic-pen
            // rectangle, but much cheaper to clip against the many small repainted areas.
            const QColor frame(0, 122, 236);
            p.fillRect(QRect(r.left(), r.top(), r.width(), 1), frame);
            p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), frame);
            p.fillRect(QRect(r.left(), r.top(), 1, r.height()), frame);
            p.fillRect(QRect(r.right(), r.top(), 1, r.height()), frame);
        }
    }
}

void frmCapture::mousePressEvent(QMouseEvent* e) {
    Form_MouseDown(mouseargs::button(e->button()), mouseargs::shift(e->modifiers()),
                   float(e->position().x()), float(e->position().y()));
}

void frmCapture::mouseMoveEvent(QMouseEvent* e) {
    Form_MouseMove(mouseargs::buttons(e->buttons()), mouseargs::shift(e->modifiers()),
                   float(e->position().x()), float(e->position().y()));
}

void frmCapture::mouseReleaseEvent(QMouseEvent* e) {
    Form_MouseUp(mouseargs::button(e->button()), mouseargs::shift(e->modifiers()),
                 float(e->position().x()), float(e->position().y()));
}

void frmCapture::mouseDoubleClickEvent(QMouseEvent*) {
    // The second press of a double-click is the double-click itself, not another press.
    Form_DblClick();
}

void frmCapture::keyPressEvent(QKeyEvent* e) {
    // The capture window has no keyboard commands: every key, Esc included, does nothing.
    e->accept();
}

void frmCapture::closeEvent(QCloseEvent* e) {
    // Closed from outside (the window manager): the capture is abandoned.
    e->accept();
    Unload();
}
