#pragma once
#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <optional>

// One request to a server on a Unix-domain socket, waited for: connect, send, read the
// answer up to its first newline or the server's close. Blocking, for a short-lived client
// process. Each step may take up to timeoutMs. Nothing when no server accepted the
// connection or took the request in time; otherwise what it answered (maybe nothing).
std::optional<QByteArray> localRequest(const QString& path, const QByteArray& request,
                                       int timeoutMs);

// Send all of data on a non-blocking socket, waiting for room until the deadline (not at all
// with an expired one). A peer gone already never ends this process with SIGPIPE. False when
// not all of it went out.
bool sendAll(int fd, const QByteArray& data, const QDeadlineTimer& deadline);
