#include "platform/Program.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

void QtProgram::end() {
    // Called from start-up before the event loop runs as well as from inside it: leave now,
    // without running any further window events.
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(0);
}
