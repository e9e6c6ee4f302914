#pragma once
#include <QFont>

// The read-outs' font: SimSun 10.5 point, with Simplified Chinese faces named after it so
// that a system without SimSun never falls back to Japanese glyph forms.
inline QFont readoutFont() {
    QFont f;
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                   QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("WenQuanYi Zen Hei")});
    f.setPointSizeF(10.5);
    return f;
}
