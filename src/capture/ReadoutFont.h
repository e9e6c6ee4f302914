#pragma once
#include "form/ChromeScale.h"

#include <QFont>

// The read-outs' font: SimSun 10.5 point (at `scale`, on a device that renders points at
// `dpi`), with Simplified Chinese faces named after it so that a system without SimSun
// never falls back to Japanese glyph forms.
inline QFont readoutFont(float scale = 1, double dpi = 96) {
    QFont f;
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                   QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("WenQuanYi Zen Hei")});
    f.setPointSizeF(kivo::pointSize(10.5, scale, dpi));
    return f;
}
