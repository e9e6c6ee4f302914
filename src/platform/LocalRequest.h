#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

// One request to a server on a Unix-domain socket, waited for: connect, send, read the
// answer up to its first newline or the server's close. Blocking, for a short-lived client
// process. Each step may take up to timeoutMs. Nothing when no server accepted the
// connection or took the request in time; otherwise what it answered (maybe nothing).
std::optional<QByteArray> localRequest(const QString& path, const QByteArray& request,
                                       int timeoutMs);
