#include "shell/CommandLine.h"

CommandLine CommandLine::parse(const QStringList& args) {
    CommandLine cl;
    if (args.isEmpty())
        return cl;
    const QString& a = args.first();
    if (a == QLatin1String("gui"))
        cl.mode = Gui;
    else if (a == QLatin1String("quit"))
        cl.mode = Quit;
    else if (a == QLatin1String("--version") || a == QLatin1String("-v") ||
             a == QLatin1String("version"))
        cl.mode = Version;
    else if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("help"))
        cl.mode = Help;
    else {
        cl.mode = Invalid;
        cl.error = QStringLiteral("unknown command: %1").arg(a);
        return cl;
    }
    if (args.size() > 1) {
        cl.mode = Invalid;
        cl.error = QStringLiteral("unexpected argument: %1").arg(args.at(1));
    }
    return cl;
}

QString CommandLine::usage() {
    return QStringLiteral(
        "Usage: kivo [COMMAND]\n"
        "\n"
        "Screen capture and annotation. Without a command Kivo starts in the system\n"
        "tray and opens a capture at once.\n"
        "\n"
        "Commands:\n"
        "  gui          open a capture in the running Kivo (starts Kivo if needed);\n"
        "               bind your desktop's screenshot shortcut to this\n"
        "  quit         end the running Kivo\n"
        "  --version    print the version\n"
        "  --help       print this help\n");
}
