#pragma once
#include <QString>
#include <QStringList>

// What the program was asked to do on its command line.
struct CommandLine {
    enum Mode {
        Host,    // no arguments: the tray host, which opens a capture at once
        Gui,     // ask the running host for a capture (start the host when none runs)
        Quit,    // ask the running host to end
        Version, // print the version
        Help,    // print the usage
        Invalid, // anything else: refused with the usage
    };
    Mode mode = Host;
    QString error;  // for Invalid: what was wrong
    QString screen; // for Gui: the monitor asked for with --screen (empty: the primary one)

    // args: the arguments after the program name.
    static CommandLine parse(const QStringList& args);
    static QString usage();
};
