#pragma once
#include <QString>
#include <QStringList>

// What the desktop asks of a program's size on a monitor: 1 on an ordinary screen, 2 at
// 200 %. Read from the variables Qt and GTK programs follow and from the font resolution
// (Xft.dpi 192 is 2), so that a program which draws its own controls can size them alike.
struct DesktopScaleHints {
    QString qtScaleFactor;        // QT_SCALE_FACTOR: one factor for every monitor
    QString qtScreenScaleFactors; // QT_SCREEN_SCALE_FACTORS: "2;1" by order, or "DP-1=2;..."
    QString gdkScale;             // GDK_SCALE: a whole factor

    // The variables as they are now: take them before anything unsets them.
    static DesktopScaleHints fromEnvironment();
};

// The scale for the monitor named `name`, listed at `index` among names, whose fonts Qt
// renders at `dpi` dots per inch: the monitor's own factor (QT_SCREEN_SCALE_FACTORS, else
// GDK_SCALE, else dpi / 96) times QT_SCALE_FACTOR. Values that are no positive number up to
// 8 are ignored; the result is rounded to a quarter and never below 1.
float desktopScale(const DesktopScaleHints& hints, const QString& name, int index, double dpi);
