#pragma once
#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <optional>
#include <sys/un.h>

// What both ends of a Unix-domain socket need.

// The address of the socket at path; nothing when the path is too long for one.
std::optional<sockaddr_un> unixAddress(const QString& path);
// Wait until fd is ready for events (poll's), or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline);
// Send all of data on a non-blocking socket, waiting for room until the deadline (not at all
// with an expired one). A peer gone already never ends this process with SIGPIPE. False when
// not all of it went out.
bool sendAll(int fd, const QByteArray& data, const QDeadlineTimer& deadline);
