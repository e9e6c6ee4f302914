#include "form/FloatText.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstring>

QString floatText(float value) {
    if (value == 0.0f)
        return QStringLiteral("0");
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.7G", double(value));
    // %G keeps trailing zeros out already; write the exponent as E+07 / E-05.
    QString text = QString::fromLatin1(buf);
    const QString point = QLocale::system().decimalPoint();
    if (point != QLatin1String("."))
        text.replace(QLatin1Char('.'), point);
    return text;
}
