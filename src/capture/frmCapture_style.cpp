// What the drawing code reads from the style panel, and the size list's toggle.
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"
#include "style/ColourSwatch.h"
#include "style/StylePanel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

void frmCapture::OpenCombo() {
    QComboBox* combo = stylePanel_->combo();
    if (combo->view()->isVisible())
        combo->hidePopup();
    else
        combo->showPopup();
}

kivo::Colour frmCapture::currentColour() const {
    return stylePanel_->swatch(16)->BackColor();
}

float frmCapture::chosenTextSize() const {
    bool ok = false;
    const float size = stylePanel_->text1()->text().trimmed().toFloat(&ok);
    // Text1 only ever receives list items; anything else falls back to the default size.
    return ok && size > 0 ? size : kivo::kDefaultTextSize;
}
