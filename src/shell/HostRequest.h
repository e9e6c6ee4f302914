#pragma once
#include "platform/InstanceLock.h"
#include "shell/CommandLine.h"
#include "shell/HostPaths.h"

#include <QString>
#include <memory>

// `kivo gui` and `kivo quit` sent to the host on this desktop. For `gui`, when no host
// answers and none holds the lock, this process takes the lock (into `lock`) and becomes
// the host, whose start-up opens the capture asked for: -1 then. Otherwise the exit status,
// with what went wrong on stderr.
int forwardToHost(const CommandLine& cl, const HostPaths& paths,
                  std::unique_ptr<InstanceLock>& lock);

// Why the lock cannot be used, in one line.
QString lockError(const InstanceLock& lock);
