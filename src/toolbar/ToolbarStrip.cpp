#include "toolbar/ToolbarStrip.h"

#include "form/ChromeScale.h"
#include "form/Vocabulary.h"
#include "toolbar/ToolbarButton.h"

#include <QPainter>

using namespace kivo;

namespace {

// Buttons by index: left edge of the button and of its hover frame, in twips.
struct ButtonPlace {
    float left, frameLeft;
};
constexpr std::array<ButtonPlace, 9> kPlaces = {{
    {1700, 1670}, // 0 undo
    {3270, 3240}, // 1 copy and exit
    {2440, 2410}, // 2 save
    {2900, 2870}, // 3 exit
    {1220, 1200}, // 4 arrow
    {860, 820},   // 5 text
    {480, 450},   // 6 ellipse
    {120, 80},    // 7 rectangle
    {2070, 2040}, // 8 redo
}};

const QColor kBack = toQColor(kPanelBack);
const QColor kFrame = toQColor(kPanelFrame);
const QColor kSeparator(0xC0, 0xC0, 0xFF);   // 0x00FFC0C0
const QColor kHoverBorder(0x24, 0x8F, 0xFB); // 0x00FB8F24
const QColor kHoverBack(0x94, 0xD9, 0xFF);   // 0x00FFD994
} // namespace

QString ToolbarStrip::ToolTipText(int Index) {
    switch (Index) {
    case kButtonUndo:
        return QStringLiteral("撤销");
    case kButtonCopy:
    case kButtonCopyCorner:
        return QStringLiteral("复制退出");
    case kButtonSave:
        return QStringLiteral("保存");
    case kButtonExit:
        return QStringLiteral("退出截屏");
    case kButtonArrow:
        return kToolArrow;
    case kButtonText:
        return kToolText;
    case kButtonEllipse:
        return kToolEllipse;
    case kButtonRectangle:
        return kToolRectangle;
    case kButtonRedo:
        return QStringLiteral("重做");
    default:
        return {};
    }
}

ToolbarStrip::ToolbarStrip(QWidget* window, float scale) : QWidget(window), scale_(scale) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(roundInt(265 * scale), roundInt(26 * scale));
    hide();
    // A designed length in twips, in pixels at the scale.
    const auto at = [scale](float t) { return twips(t) * scale; };

    const auto repaint = [this](const QRect& before, const QRect& after) {
        repaintControl(before, after);
    };
    for (int i = 0; i < kButtonCount; ++i) {
        // The tenth button stands on the window, outside the strip.
        auto* b = new ToolbarButton(i == kButtonCopyCorner ? window : this, i, scale);
        b->setToolTip(ToolTipText(i));
        connect(b, &ToolbarButton::clicked, this, &ToolbarStrip::buttonClicked);
        connect(b, &ToolbarButton::hovered, this, &ToolbarStrip::buttonHovered);
        buttons_[size_t(i)] = b;
        Control& c = Image2[size_t(i)];
        c.setWidget(b);
        if (i == kButtonCopyCorner) {
            c.setGeometry(0, 0, at(240), at(240));
            continue;
        }
        c.setGeometry(at(kPlaces[size_t(i)].left), at(75), at(240), at(240));
        c.show();
        Control& frame = Shape3[size_t(i)];
        frame.setRepaint(repaint);
        frame.setGeometry(at(kPlaces[size_t(i)].frameLeft), at(45), at(300), at(300));
    }
    Shape2.setRepaint(repaint);
    Shape2.setGeometry(0, 0, at(3975), at(390));
    Shape2.show();
    // A vertical line: zero width, from y = 40 to y = 320 twips.
    Line1.setRepaint(repaint);
    Line1.setGeometry(at(1580), at(40), 0, at(280));
    Line1.show();
    Line2.setRepaint(repaint);
    Line2.setGeometry(at(2780), at(40), 0, at(280));
    Line2.show();
}

void ToolbarStrip::repaintControl(const QRect& before, const QRect& after) {
    // Lines have no width: widen the rectangles so that their pixels are included.
    const int w = lineWidth(scale_);
    update(before.adjusted(0, 0, w, w));
    update(after.adjusted(0, 0, w, w));
}

void ToolbarStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBack);
    const int w = lineWidth(scale_);
    for (const Control& frame : Shape3) {
        if (!frame.Visible())
            continue;
        const QRect r = frame.pixelRect();
        p.fillRect(r, kHoverBack);
        outline(p, r, kHoverBorder, w);
    }
    for (const Control* line : {&Line1, &Line2}) {
        if (!line->Visible())
            continue;
        const QRect r = line->pixelRect();
        p.fillRect(QRect(r.left(), r.top(), w, r.height()), kSeparator);
    }
    if (Shape2.Visible())
        outline(p, Shape2.pixelRect(), kFrame, w);
}

void ToolbarStrip::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT backgroundHovered();
}
