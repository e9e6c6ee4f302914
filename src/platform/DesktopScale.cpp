#include "platform/DesktopScale.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {
std::optional<double> factor(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !(v > 0) || v > 8)
        return std::nullopt;
    return v;
}

// The entry for this monitor in "2;1" (by order) or "DP-1=2;HDMI-1=1" (by name).
std::optional<double> screenFactor(const QString& list, const QString& name, int index) {
    const QStringList entries = list.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < entries.size(); ++i) {
        const QString& e = entries.at(i);
        const qsizetype eq = e.indexOf(QLatin1Char('='));
        if (eq < 0 ? i == index : e.left(eq).trimmed() == name)
            return factor(eq < 0 ? e : e.mid(eq + 1));
    }
    return std::nullopt;
}
} // namespace

DesktopScaleHints DesktopScaleHints::fromEnvironment() {
    return {qEnvironmentVariable("QT_SCALE_FACTOR"),
            qEnvironmentVariable("QT_SCREEN_SCALE_FACTORS"), qEnvironmentVariable("GDK_SCALE")};
}

float desktopScale(const DesktopScaleHints& hints, const QString& name, int index, double dpi) {
    std::optional<double> own = screenFactor(hints.qtScreenScaleFactors, name, index);
    if (!own)
        own = factor(hints.gdkScale);
    if (!own && dpi > 0)
        own = dpi / 96;
    const double s = own.value_or(1) * factor(hints.qtScaleFactor).value_or(1);
    // Quarter steps: a resolution of 100 dpi stays at 1, 144 dpi is 1.5.
    return float(std::max(1.0, std::round(s * 4) / 4));
}
