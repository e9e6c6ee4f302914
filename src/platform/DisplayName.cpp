#include "platform/DisplayName.h"

#include <QCryptographicHash>

namespace {
// Longer keys would crowd the 107 bytes a socket path may have.
constexpr qsizetype kMaxKey = 40;

QString safe(const QByteArray& raw) {
    QString out;
    for (const char c : raw) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-')
            out += QLatin1Char(c);
        else
            out += QStringLiteral("_%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return out;
}

QString key(const QString& kind, const QByteArray& raw) {
    QString k = kind + QLatin1Char('-') + safe(raw);
    if (k.size() > kMaxKey)
        k = kind + QLatin1Char('-') +
            QString::fromLatin1(
                QCryptographicHash::hash(raw, QCryptographicHash::Sha256).toHex().left(16));
    return k;
}
} // namespace

QString DisplayName::fileKey(const QByteArray& waylandDisplay, const QByteArray& x11Display) {
    if (!waylandDisplay.isEmpty())
        return key(QStringLiteral("wl"), waylandDisplay);
    if (x11Display.isEmpty())
        return {};
    // [host]:number[.screen]; the screen is part of the same server.
    const qsizetype colon = x11Display.lastIndexOf(':');
    if (colon < 0)
        return key(QStringLiteral("x11"), x11Display);
    QByteArray host = x11Display.left(colon);
    QByteArray number = x11Display.mid(colon + 1);
    if (const qsizetype dot = number.indexOf('.'); dot >= 0)
        number.truncate(dot);
    if (host == "unix")
        host.clear();
    return key(QStringLiteral("x11"), host.isEmpty() ? number : host + '-' + number);
}

QString DisplayName::fileKey() {
    return fileKey(qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"));
}
