#pragma once
#include <QString>
#include <functional>

class QIODevice;

// Writes a file so that a failure can lose nothing: the bytes go to a temporary file in the
// same folder, which replaces the target only once everything was written. A failed write
// leaves no partial file and keeps an existing file of that name as it was.
namespace SafeFileWrite {
enum class Outcome { Written, EncodeFailed, FileFailed, DiskFull };
struct Result {
    Outcome outcome = Outcome::Written;
    QString reason; // why it failed, for the user
};
// write fills the device; it returns false with a reason when it cannot encode.
using Writer = std::function<bool(QIODevice& device, QString& reason)>;
Result write(const QString& path, const Writer& writer);
} // namespace SafeFileWrite
