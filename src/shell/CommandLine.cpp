#include "shell/CommandLine.h"

#include "shell/CaptureRequest.h"

#include <optional>

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
    qsizetype next = 1;
    if (cl.mode == Gui && next < args.size()) {
        // `gui --screen WHICH` or `gui --screen=WHICH`.
        const QString& option = args.at(next);
        std::optional<QString> which;
        if (option == QLatin1String("--screen")) {
            ++next;
            which = next < args.size() ? args.at(next++) : QString();
        } else if (option.startsWith(QLatin1String("--screen="))) {
            ++next;
            which = option.mid(9);
        }
        if (which && !CaptureRequest::validWord(*which)) {
            cl.mode = Invalid;
            cl.error = which->isEmpty() ? QStringLiteral("--screen needs a monitor")
                                        : QStringLiteral("not a monitor name: %1").arg(*which);
            return cl;
        }
        cl.screen = which.value_or(QString());
    }
    if (args.size() > next) {
        cl.mode = Invalid;
        cl.error = QStringLiteral("unexpected argument: %1").arg(args.at(next));
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
        "  gui --screen pointer|primary|NAME\n"
        "               capture the monitor under the pointer, the primary one (the\n"
        "               default) or the one named as `xrandr --listmonitors` names it\n"
        "  quit         end the running Kivo\n"
        "  --version    print the version\n"
        "  --help       print this help\n");
}
