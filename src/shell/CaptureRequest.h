#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A capture request names the monitor to cover: the primary one (also when it names none),
// the one under the pointer, or one by its name (ScreenSource::choose). The same words go on
// the command line (`kivo gui --screen WHICH`) and over the command channel ("gui WHICH").
namespace CaptureRequest {
// Whether word can name a monitor: 1 to 32 letters, digits and "-_.:+~", nothing else.
bool validWord(const QString& word);
// The channel line asking for a capture of monitor `which` ("gui" for the primary one).
QByteArray line(const QString& which);
// The monitor a channel line asks for; nothing when the line is no capture request.
std::optional<QString> parse(const QByteArray& line);
// The error for a monitor name nobody has: names those there are.
QString unknownMonitor(const QString& which, const QStringList& names);
} // namespace CaptureRequest
