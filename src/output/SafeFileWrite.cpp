#include "output/SafeFileWrite.h"

#include <QSaveFile>

SafeFileWrite::Result SafeFileWrite::write(const QString& path, const Writer& writer) {
    QSaveFile file(path);
    // Never fall back to writing the target in place: that could leave it truncated.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return {Outcome::FileFailed, file.errorString()};
    QString reason;
    if (!writer(file, reason)) {
        // A failed write to the device shows up as an encoder failure; name the real cause.
        // (Read it before discarding: discarding records an error of its own.)
        Result result{Outcome::EncodeFailed, reason};
        if (file.error() == QFileDevice::ResourceError)
            result = {Outcome::DiskFull, file.errorString()};
        else if (file.error() != QFileDevice::NoError)
            result = {Outcome::FileFailed, file.errorString()};
        file.cancelWriting(); // the temporary file is removed when file goes
        return result;
    }
    if (!file.commit()) {
        const Outcome outcome =
            file.error() == QFileDevice::ResourceError ? Outcome::DiskFull : Outcome::FileFailed;
        return {outcome, file.errorString()};
    }
    return {};
}
