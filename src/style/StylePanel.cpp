#include "style/StylePanel.h"

#include "form/ChromeScale.h"
#include "form/Vocabulary.h"
#include "style/ColourSwatch.h"
#include "style/StyleBox.h"
#include "style/StylePictures.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>

namespace {
const QColor kBack = kivo::toQColor(kivo::kPanelBack);
const QColor kFrame = kivo::toQColor(kivo::kPanelFrame);

struct SwatchPlace {
    float left, top; // twips
    kivo::Colour value;
};
constexpr std::array<SwatchPlace, 16> kSwatches = {{
    {480, 0, 0x00000000},
    {720, 0, 0x00808080},
    {960, 0, 0x000000C0},
    {1200, 0, 0x0000C0C0},
    {1440, 0, 0x00008000},
    {1680, 0, 0x00800000},
    {1920, 0, 0x00800080},
    {2160, 0, 0x00808000},
    {480, 220, 0x00FFFFFF},
    {720, 220, 0x00C0C0C0},
    {960, 220, 0x000000FF},
    {1200, 220, 0x0000FFFF},
    {1440, 220, 0x0000FF00},
    {1680, 220, 0x00FF0000},
    {1920, 220, 0x00FF00FF},
    {2160, 220, 0x00FFFF00},
}};

const QStringList kSizes = {QStringLiteral("6"),  QStringLiteral("8"),  QStringLiteral("9"),
                            QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"),
                            QStringLiteral("14"), QStringLiteral("18"), QStringLiteral("20")};
} // namespace

StylePanel::StylePanel(QWidget* window, float scale) : QWidget(window), scale_(scale) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    hide();
    createFontPicker();
    createPalette();
    Shape4.setRepaint([this](const QRect& before, const QRect& after) {
        update(before);
        update(after);
    });
    Shape4.setGeometry(0, 0, at(3975), at(555));
    Shape4.show();
}

void StylePanel::createPalette() {
    auto* box = new StyleBox(this, kBack);
    connect(box, &StyleBox::mouseMove, this, &StylePanel::PicColor_MouseMove);
    PicColor.setWidget(box);
    PicColor.setGeometry(at(1200), at(60), at(2415), at(440));
    PicColor.show();
    for (int i = 0; i < 17; ++i) {
        const bool current = i == 16;
        auto* s =
            new ColourSwatch(box, i, current ? kivo::kStartColour : kSwatches[size_t(i)].value,
                             kivo::lineWidth(scale_));
        connect(s, &ColourSwatch::mouseMove, this, &StylePanel::Pcolor_MouseMove);
        connect(s, &ColourSwatch::mouseUp, this, &StylePanel::Pcolor_MouseUp);
        swatches_[size_t(i)] = s;
        Control& c = Pcolor[size_t(i)];
        c.setWidget(s);
        if (current) {
            c.setGeometry(at(20), 0, at(420), at(420));
            s->setBorderStyle(1);
        } else {
            c.setGeometry(at(kSwatches[size_t(i)].left), at(kSwatches[size_t(i)].top), at(200),
                          at(200));
        }
        c.show();
    }
}

void StylePanel::createFontPicker() {
    auto* group = new StyleBox(this, kBack);
    connect(group, &StyleBox::mouseMove, this, &StylePanel::PicFont_MouseMove);
    PicFont.setWidget(group);
    PicFont.setGeometry(at(60), at(120), at(1095), at(375));
    PicFont.show();

    auto* letter = new StyleBox(group, kBack);
    letter->setPicture(letterPicture(scale_));
    letter->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image3.setWidget(letter);
    Image3.setGeometry(0, at(40), at(240), at(240));
    Image3.show();

    for (int i = 0; i < 3; ++i)
        Image4[size_t(i)] = comboFacePicture(i, scale_);

    // The real drop-down lies under the face: only its list is ever seen.
    combo_ = new QComboBox(group);
    combo_->setFocusPolicy(Qt::NoFocus);
    if (QFont listFont = combo_->font(); listFont.pointSizeF() > 0) {
        listFont.setPointSizeF(kivo::pointSize(listFont.pointSizeF(), scale_, logicalDpiY()));
        combo_->setFont(listFont);
    }
    for (const QString& size : kSizes)
        combo_->addItem(size, 0);
    combo_->setCurrentText(QString::number(kivo::kDefaultTextSize));
    Combo1.setWidget(combo_);
    Combo1.setGeometry(at(320), at(20), at(735), at(300));
    Combo1.show();
    connect(combo_, &QComboBox::activated, this, [this] { Combo1_Click(); });

    face_ = new StyleBox(group, Qt::white);
    face_->setPicture(Image4[0]);
    connect(face_, &StyleBox::mouseMove, this, &StylePanel::PicCombox_MouseMove);
    connect(face_, &StyleBox::mouseDown, this, &StylePanel::PicCombox_MouseDown);
    PicCombox.setWidget(face_);
    PicCombox.setGeometry(at(320), 0, at(750), at(330));
    PicCombox.show();

    // Text1 only shows the size the list gave it: it takes neither typing nor the mouse,
    // so the text tool never reads anything but a number from it.
    text1_ = new QLineEdit(face_);
    text1_->setFrame(false);
    text1_->setReadOnly(true);
    text1_->setFocusPolicy(Qt::NoFocus);
    text1_->setAttribute(Qt::WA_TransparentForMouseEvents);
    text1_->setContextMenuPolicy(Qt::NoContextMenu);
    text1_->setTextMargins(0, 0, 0, 0);
    QFont f = text1_->font();
    f.setPixelSize(kivo::roundInt(11 * scale_));
    text1_->setFont(f);
    text1_->setText(QString::number(kivo::kDefaultTextSize));
    Text1.setWidget(text1_);
    Text1.setGeometry(at(60), at(60), at(340), at(200));
    Text1.show();
}

void StylePanel::showFace(int index) {
    faceShown_ = index;
    face_->setPicture(Image4[size_t(index)]);
}

void StylePanel::Pcolor_MouseUp(int Index) {
    swatches_[16]->setBackColor(swatches_[size_t(Index)]->BackColor());
}

void StylePanel::Pcolor_MouseMove(int Index) {
    if (Index == 16) {
        for (int i = 0; i < 16; ++i)
            swatches_[size_t(i)]->setBorderStyle(0);
        return;
    }
    swatches_[size_t(Index)]->setBorderStyle(1);
}

void StylePanel::PicColor_MouseMove() {
    for (int i = 0; i < 16; ++i)
        swatches_[size_t(i)]->setBorderStyle(0);
}

void StylePanel::PicFont_MouseMove() {
    showFace(0);
}

void StylePanel::PicCombox_MouseMove() {
    showFace(1);
}

void StylePanel::PicCombox_MouseDown() {
    showFace(2);
    Q_EMIT sizeListToggled();
}

void StylePanel::Combo1_Click() {
    text1_->setText(combo_->currentText());
}

void StylePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBack);
    if (Shape4.Visible())
        kivo::outline(p, Shape4.pixelRect(), kFrame, kivo::lineWidth(scale_));
}

void StylePanel::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT backgroundHovered();
}
