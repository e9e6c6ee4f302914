// The capture window itself: its controls, its start-up that freezes the screen, its
// painting and the routing of its own mouse and key events.
#include "capture/frmCapture.h"

#include "capture/BackingStorePrefault.h"
#include "capture/HandleWidget.h"
#include "capture/ReadoutLabel.h"
#include "capture/SelectionGeometry.h"
#include "capture/TextBox.h"
#include "form/MouseArgs.h"
#include "form/Vocabulary.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"
#include "platform/Program.h"
#include "platform/ScreenSource.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarStrip.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <utility>

using kivo::twips;

frmCapture::frmCapture(const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), platform_(platform) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(kivo::kAppTitle);
    const QSize screen = platform_.screen ? platform_.screen->size() : QSize();
    sw_ = float(screen.width());
    sh_ = float(screen.height());
    scale_ = platform_.screen ? platform_.screen->scale() : 1;
    createControls();
    connect(&canvas_, &Canvas::changed, this, qOverload<const QRect&>(&QWidget::update));
}

frmCapture::~frmCapture() = default;

void frmCapture::createControls() {
    Shape1.setRepaint(
        [this](const QRect& before, const QRect& after) { repaintFrame(before, after); });

    const float s = scale_;
    lblPosW_ = new ReadoutLabel(this, s);
    lblInfoW_ = new ReadoutLabel(this, s);
    LblPos.setWidget(lblPosW_);
    lblInfo.setWidget(lblInfoW_);

    for (int i = 0; i < 8; ++i) {
        auto* handle = new HandleWidget(this, i);
        handles_[size_t(i)] = handle;
        Image1[size_t(i)].setWidget(handle);
        const float side = float(kivo::roundInt(4 * s));
        Image1[size_t(i)].setGeometry(0, 0, side, side);
        // During a drag the handle reports where the pointer is on this window.
        connect(handle, &HandleWidget::mouseDown, this,
                [this](int index, int button, int shift, float x, float y, QPoint at) {
                    takePendingMove();
                    setPointerNow(at);
                    Image1_MouseDown(index, button, shift, x, y);
                });
        connect(handle, &HandleWidget::mouseMove, this,
                [this](int index, int button, int shift, float x, float y, QPoint at) {
                    setPointerNow(at);
                    Image1_MouseMove(index, button, shift, x, y);
                });
        connect(handle, &HandleWidget::mouseUp, this,
                [this](int index, int button, int shift, float x, float y, QPoint at) {
                    setPointerNow(at);
                    Image1_MouseUp(index, button, shift, x, y);
                });
    }

    toolbar_ = new ToolbarStrip(this, s);
    Picture1.setWidget(toolbar_);
    Picture1.setGeometry(0, 0, 265 * s, 26 * s);
    connect(toolbar_, &ToolbarStrip::buttonClicked, this, &frmCapture::Image2_Click);
    connect(toolbar_, &ToolbarStrip::buttonHovered, this, &frmCapture::Image2_MouseMove);
    connect(toolbar_, &ToolbarStrip::backgroundHovered, this, &frmCapture::Picture1_MouseMove);

    stylePanel_ = new StylePanel(this, s);
    Picture2.setWidget(stylePanel_);
    Picture2.setGeometry(0, twips(420) * s, twips(3975) * s, twips(560) * s);
    connect(stylePanel_, &StylePanel::sizeListToggled, this, &frmCapture::OpenCombo);
    connect(stylePanel_, &StylePanel::backgroundHovered, this, &frmCapture::Picture2_MouseMove);

    // The box is placed from the control by placeTextBox, which sizes it to its text.
    textEditW_ = new TextBox(this);
    textEditW_->hide();
    TextEdit.setRepaint([this](const QRect&, const QRect&) { placeTextBox(); });
    TextEdit.setGeometry(twips(2040) * s, twips(1920) * s, twips(495) * s, twips(240) * s);
    connect(textEditW_, &QLineEdit::textChanged, this, &frmCapture::TextEdit_Change);

    drawFont_ = font();
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool frmCapture::Load() {
    loadClock_.start();
    // Refuse a second running copy of the program before anything else happens.
    if (platform_.instance && platform_.instance->previousInstance()) {
        platform_.messageBox->show(kivo::kAlreadyRunning, kivo::kAppTitle, MessageBox::Exclamation);
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
    const QPoint origin = platform_.screen->geometry().topLeft();
    setGeometry(QRect(origin, size));
    platform_.screen->startGrab();
    BackingStorePrefault prefault(*this, size);
    QImage frozen = platform_.screen->grab();
    prefault.finish();
    grabMs_ = loadClock_.nsecsElapsed() / 1e6;
    if (frozen.isNull() && !platform_.screen->failure().isEmpty()) {
        platform_.pointer->set(PointerShape::Default);
        platform_.messageBox->show(platform_.screen->failure(), kivo::kAppTitle,
                                   MessageBox::Exclamation);
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
    setGeometry(QRect(origin, size));
    canvas_.commitImage();

    HistoryStart();

    sState = kivo::kStateDraw;
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
    if (modalDepth_ > 0) {
        unloadPending_ = true;
        return;
    }
    unloaded_ = true;
    // The crosshair and size arrows belong to this window; do not leave them to others.
    platform_.pointer->set(PointerShape::Default);
    hide();
    Q_EMIT unloaded();
    deleteLater();
}

void frmCapture::repaintFrame(const QRect& before, const QRect& after) {
    // Each side of the outline is repainted together with the handles on it: where the side
    // was and where it is, as one piece when the two are near; of a side that stays in its
    // row or column, only the ends that grew or shrank. The handles' own repaints then fall
    // inside these pieces or in the same rows, so a move dirties a handful of rectangles
    // instead of dozens of strips cut up by handle squares, and every one of them costs a
    // request to the X server.
    const int g = Image1[0].pixelRect().width() / 2 + 1;
    const auto grown = [g](const QRect& r) { return r.adjusted(-g, -g, g, g); };
    const auto lines = [](const QRect& r) { // top, bottom, left, right
        return std::array{
            QRect(r.left(), r.top(), r.width(), 1), QRect(r.left(), r.bottom(), r.width(), 1),
            QRect(r.left(), r.top(), 1, r.height()), QRect(r.right(), r.top(), 1, r.height())};
    };
    const bool was = !before.isEmpty(), is = !after.isEmpty();
    const std::array<QRect, 4> old = lines(before), now = lines(after);
    for (size_t i = 0; i < 4; ++i) {
        const QRect &o = old[i], &n = now[i];
        if (was && is && (i < 2 ? o.top() == n.top() : o.left() == n.left())) {
            // The span between where an end was and where it is.
            const auto ends = [&](QPoint a, QPoint b) {
                if (a != b)
                    update(grown(QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())),
                                       QPoint(qMax(a.x(), b.x()), qMax(a.y(), b.y())))));
            };
            ends(o.topLeft(), n.topLeft());
            ends(o.bottomRight(), n.bottomRight());
        } else if (const std::optional<QRect> both =
                       was && is ? nearUnion(grown(o), grown(n)) : std::nullopt) {
            update(*both);
        } else {
            if (was)
                update(grown(o));
            if (is)
                update(grown(n));
        }
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
            const QColor frame = kivo::toQColor(kivo::kFrameColour);
            const QRect strips[] = {
                QRect(r.left(), r.top(), r.width(), 1), QRect(r.left(), r.bottom(), r.width(), 1),
                QRect(r.left(), r.top(), 1, r.height()), QRect(r.right(), r.top(), 1, r.height())};
            paintEachRect(p, e->region(), [&](const QRect& area) {
                for (const QRect& strip : strips) {
                    if (strip.intersects(area))
                        p.fillRect(strip & area, frame);
                }
            });
        }
    }
}

frmCapture::ModalScope::~ModalScope() {
    if (--w_.modalDepth_ == 0 && w_.unloadPending_) {
        w_.unloadPending_ = false;
        w_.Unload();
    }
}

bool frmCapture::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        // Only the left, right and middle buttons mean anything in a capture: back, forward
        // and the rest are swallowed before the window or any of its controls sees them.
        const Qt::MouseButton b = static_cast<QMouseEvent*>(event)->button();
        if (b != Qt::LeftButton && b != Qt::RightButton && b != Qt::MiddleButton)
            return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

QPointF frmCapture::heldInside(QPointF at) const {
    return {geometry::heldInside(float(at.x()), sw_), geometry::heldInside(float(at.y()), sh_)};
}

void frmCapture::setPointerNow(QPoint at) {
    const QPointF held = heldInside(at);
    ptNow = {kivo::roundInt(held.x()), kivo::roundInt(held.y())};
}

// A drag begun on the window goes on reaching it beyond its edges (on another monitor):
// every position is held inside it.
void frmCapture::mousePressEvent(QMouseEvent* e) {
    if (unloaded_)
        return;
    takePendingMove();
    sawPress_ = true;
    lastPressTime_ = e->timestamp();
    const QPointF at = heldInside(e->position());
    Form_MouseDown(mouseargs::button(e->button()), mouseargs::shift(e->modifiers()), float(at.x()),
                   float(at.y()));
}

void frmCapture::mouseMoveEvent(QMouseEvent* e) {
    if (unloaded_)
        return;
    const QPointF at = heldInside(e->position());
    pendingMove_ = Move{mouseargs::buttons(e->buttons()), mouseargs::shift(e->modifiers()),
                        float(at.x()), float(at.y())};
    // A drag's move waits when a frame was just shown.
    if (e->buttons() != Qt::NoButton && !pacer_.frameDue())
        pacer_.requestFrame();
    else
        takePendingMove();
}

// Every other input comes after the moves before it.
void frmCapture::takePendingMove() {
    const std::optional<Move> move = std::exchange(pendingMove_, std::nullopt);
    if (move && !unloaded_)
        Form_MouseMove(move->button, move->shift, move->x, move->y);
}

void frmCapture::mouseReleaseEvent(QMouseEvent* e) {
    if (unloaded_)
        return;
    takePendingMove();
    const QPointF at = heldInside(e->position());
    Form_MouseUp(mouseargs::button(e->button()), mouseargs::shift(e->modifiers()), float(at.x()),
                 float(at.y()));
}

void frmCapture::mouseDoubleClickEvent(QMouseEvent* e) {
    if (unloaded_)
        return;
    takePendingMove();
    // Qt pairs presses across windows: a double-click whose first press went to another
    // window (a capture just closed, say) is this window's first press.
    const quint64 interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    if (!sawPress_ || e->timestamp() - lastPressTime_ > interval) {
        mousePressEvent(e);
        return;
    }
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
