#pragma once
#include "output/Failure.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <sys/types.h>

// Writes a file so that a failure loses nothing: the bytes go to a new file in the same
// folder, are written, flushed to the disk and closed with every result checked, and only
// then replace the target. A failure leaves no partial file and keeps an existing file of
// that name byte for byte. A full disk is error 61, anything else error 75.
namespace SafeFileWrite {
// The system calls that can fail after the file exists; tests replace them.
struct Calls {
    std::function<ssize_t(int fd, const void* data, size_t size)> write;
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;
    static Calls system();
};
Status write(const QString& path, const QByteArray& bytes, const Calls& calls = Calls::system());
} // namespace SafeFileWrite
