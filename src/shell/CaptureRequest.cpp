#include "shell/CaptureRequest.h"

#include "platform/ScreenSource.h"

namespace {
constexpr qsizetype kMaxWord = 32;
} // namespace

bool CaptureRequest::validWord(const QString& word) {
    if (word.isEmpty() || word.size() > kMaxWord)
        return false;
    for (const QChar c : word) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                             (c >= u'0' && c <= u'9') || QStringView(u"-_.:+~").contains(c);
        if (!allowed)
            return false;
    }
    return true;
}

QByteArray CaptureRequest::line(const QString& which) {
    if (which.isEmpty() || which == ScreenSource::kPrimary)
        return "gui";
    return "gui " + which.toLatin1();
}

std::optional<QString> CaptureRequest::parse(const QByteArray& line) {
    if (line == "gui")
        return ScreenSource::kPrimary;
    if (!line.startsWith("gui "))
        return std::nullopt;
    // Exactly one word after one blank; validWord refuses blanks, controls and non-ASCII.
    const QString word = QString::fromUtf8(line.mid(4));
    if (!validWord(word))
        return std::nullopt;
    return word;
}

QString CaptureRequest::unknownMonitor(const QString& which, const QStringList& names) {
    return QStringLiteral("no monitor is named \"%1\" (monitors: %2; or %3, %4)")
        .arg(which, names.join(QStringLiteral(", ")), ScreenSource::kPointer,
             ScreenSource::kPrimary);
}
