#include "toolbar/ToolbarStrip.h"

#include "capture/frmCapture.h"
#include "toolbar/ToolbarButton.h"

#include <QPainter>

namespace {
constexpr float kTwip = 15.0f;

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

const QColor kBack(0xDE, 0xEE, 0xFF);        // 0x00FFEEDE
const QColor kFrame(0x80, 0x80, 0xFF);       // 0x00FF8080
const QColor kSeparator(0xC0, 0xC0, 0xFF);   // 0x00FFC0C0
const QColor kHoverBorder(0x24, 0x8F, 0xFB); // 0x00FB8F24
const QColor kHoverBack(0x94, 0xD9, 0xFF);   // 0x00FFD994
} // namespace

QString ToolbarStrip::ToolTipText(int Index) {
    switch (Index) {
    case 0:
        return QStringLiteral("撤销");
    case 1:
    case 9:
        return QStringLiteral("复制退出");
    case 2:
        return QStringLiteral("保存");
    case 3:
        return QStringLiteral("退出截屏");
    case 4:
        return QStringLiteral("添加箭头");
    case 5:
        return QStringLiteral("添加文字");
    case 6:
        return QStringLiteral("添加椎圆");
    case 7:
        return QStringLiteral("添加矩形");
    case 8:
        return QStringLiteral("重做");
    default:
        return {};
    }
}

ToolbarStrip::ToolbarStrip(frmCapture* owner) : QWidget(owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(265, 26);
    hide();

    const auto repaint = [this](const QRect& before, const QRect& after) {
        repaintControl(before, after);
    };
    for (int i = 0; i < 10; ++i) {
        // The tenth button stands on the capture window, outside the strip.
        auto* b = new ToolbarButton(i == 9 ? static_cast<QWidget*>(owner) : this, owner, i);
        b->setToolTip(ToolTipText(i));
        buttons_[size_t(i)] = b;
        Control& c = Image2[size_t(i)];
        c.setWidget(b);
        if (i == 9) {
            c.setGeometry(0, 0, 240 / kTwip, 240 / kTwip);
            continue;
        }
        c.setGeometry(kPlaces[size_t(i)].left / kTwip, 75 / kTwip, 240 / kTwip, 240 / kTwip);
        c.show();
        Control& frame = Shape3[size_t(i)];
        frame.setRepaint(repaint);
        frame.setGeometry(kPlaces[size_t(i)].frameLeft / kTwip, 45 / kTwip, 300 / kTwip,
                          300 / kTwip);
    }
    Shape2.setRepaint(repaint);
    Shape2.setGeometry(0, 0, 3975 / kTwip, 390 / kTwip);
    Shape2.show();
    // A vertical line: zero width, from y = 40 to y = 320 twips.
    Line1.setRepaint(repaint);
    Line1.setGeometry(1580 / kTwip, 40 / kTwip, 0, 280 / kTwip);
    Line1.show();
    Line2.setRepaint(repaint);
    Line2.setGeometry(2780 / kTwip, 40 / kTwip, 0, 280 / kTwip);
    Line2.show();
}

void ToolbarStrip::repaintControl(const QRect& before, const QRect& after) {
    // Lines have no width: widen the rectangles so that their pixels are included.
    update(before.adjusted(0, 0, 1, 1));
    update(after.adjusted(0, 0, 1, 1));
}

void ToolbarStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBack);
    for (const Control& frame : Shape3) {
        if (!frame.Visible())
            continue;
        const QRect r = frame.pixelRect();
        p.fillRect(r, kHoverBack);
        p.setPen(kHoverBorder);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.setPen(kSeparator);
    for (const Control* line : {&Line1, &Line2}) {
        if (!line->Visible())
            continue;
        const QRect r = line->pixelRect();
        p.drawLine(r.left(), r.top(), r.left(), r.top() + r.height() - 1);
    }
    if (Shape2.Visible()) {
        p.setPen(kFrame);
        p.drawRect(Shape2.pixelRect().adjusted(0, 0, -1, -1));
    }
}

void ToolbarStrip::mouseMoveEvent(QMouseEvent*) {
    owner_->Picture1_MouseMove();
}
