// What the host takes from outside: requests over its socket (only gui and quit acted on,
// everything else refused and logged, a descriptor flood survived), the command line, the
// private runtime folder and what stray files there cannot do, the desktop's scale.
#include "platform/DesktopScale.h"
#include "platform/DisplayName.h"
#include "platform/InstanceLock.h"
#include "platform/PrivateFolder.h"
#include "platform/SystemKeyValues.h"
#include "shell/CommandChannel.h"
#include "shell/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

class TestHost : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("kivo.socket")); }
    QString target() const { return dir_.filePath(QStringLiteral("target")); }

    static int mode(const QString& path) {
        struct stat st {};
        return ::lstat(qPrintable(path), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }
    // Put at path: "" nothing, "file", "folder NNN" (octal mode), "link" to a folder of
    // ours (mode 750, empty) or "dangling link"; after the code under test, that folder
    // must be as it was: nothing is ever changed or written through a link.
    void plant(const QString& what, const QString& path) {
        QDir(target()).removeRecursively();
        QVERIFY(QDir().mkpath(target()) && ::chmod(qPrintable(target()), 0750) == 0);
        if (what == "file")
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        if (what.startsWith("folder"))
            QVERIFY(QDir().mkdir(path) &&
                    ::chmod(qPrintable(path), what.mid(7).toUInt(nullptr, 8)) == 0);
        if (what.endsWith("link"))
            QVERIFY(QFile::link(what == "link" ? target() : dir_.filePath("nowhere"), path));
    }
    void targetUntouched() {
        QCOMPARE(mode(target()), 0750);
        QVERIFY(QDir(target()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot));
        QVERIFY(!QFile::exists(dir_.filePath("nowhere")));
    }
    // Send raw bytes as a client and return what the server answers.
    QByteArray exchange(const QByteArray& bytes) {
        QLocalSocket s;
        s.connectToServer(path());
        if (!s.waitForConnected(2000))
            return "no connection";
        s.write(bytes);
        QByteArray answer;
        (void)QTest::qWaitFor(
            [&] {
                answer += s.readAll();
                return answer.endsWith('\n') || s.state() == QLocalSocket::UnconnectedState;
            },
            3000);
        return answer + s.readAll();
    }
    // The client blocks: run it on another thread while this one serves.
    CommandChannel::Reply send(const QByteArray& command, QString* reason = nullptr) {
        auto answer = std::async(std::launch::async, [p = path(), command, reason] {
            return CommandChannel::send(p, command, 3000, reason);
        });
        (void)QTest::qWaitFor(
            [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            6000);
        return answer.get();
    }

private Q_SLOTS:
    // One server for every request in turn, as a running host gets them.
    void requests() {
        CommandServer server;
        server.setMonitorNames([] { return QStringList{"left", "right"}; });
        QVERIFY(server.listen(path()));
        QCOMPARE(mode(path()) & 0777, 0600); // the socket is the user's alone
        QSignalSpy captureSpy(&server, &CommandServer::captureRequested);
        QSignalSpy quitSpy(&server, &CommandServer::quitRequested);
        // gui (a capture of the monitor named) and quit are acted on; all else is refused.
        const QByteArrayList refused{"rm -rf ~\n",
                                     "gui now please\n",
                                     "gui  pointer\n",
                                     "gui a;b\n",
                                     QByteArray("\x01\xff\x00gui\n", 7),
                                     QByteArray(100, 'g') + '\n',
                                     QByteArray(4096, 'q')};
        for (const QByteArray& bytes :
             QByteArrayList{"gui\n", "gui pointer\n", "gui right\n", "quit\n"} + refused) {
            captureSpy.clear();
            quitSpy.clear();
            const bool ok = !refused.contains(bytes), quit = bytes == "quit\n";
            if (!ok)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^kivo: refused"));
            QCOMPARE(exchange(bytes), QByteArray(ok ? "ok\n" : "refused\n"));
            QCOMPARE(quitSpy.count(), int(quit));
            QCOMPARE(captureSpy.count(), int(ok && !quit));
            if (!captureSpy.isEmpty())
                QCOMPARE(captureSpy.value(0).value(0).toString(),
                         bytes == "gui\n" ? "primary" : bytes.mid(4).trimmed());
        }
    }

    void client() {
        QFile::remove(path());
        QCOMPARE(CommandChannel::send(path(), "gui", 500), CommandChannel::Reply::NoServer);
        CommandServer server;
        server.setMonitorNames([] { return QStringList{"left", "right"}; });
        QVERIFY(server.listen(path()));
        QCOMPARE(send("gui"), CommandChannel::Reply::Done);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^kivo: refused"));
        QCOMPARE(send("shot"), CommandChannel::Reply::Refused);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^kivo: refused"));
        QString reason;
        QCOMPARE(send("gui middle", &reason), CommandChannel::Reply::Refused);
        QVERIFY2(reason.contains("\"middle\" (monitors: left, right"), qPrintable(reason));
    }

    // Connections that use up every descriptor: the host goes on listening and answers the
    // next request once they are gone.
    void descriptorFlood() {
        CommandServer server;
        QVERIFY(server.listen(path()));
        QSignalSpy captureSpy(&server, &CommandServer::captureRequested);
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &old) == 0);
        rlimit low{rlim_t(QDir("/proc/self/fd").count()) + 40, old.rlim_max};
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("out of file descriptors"));
        sockaddr_un addr{AF_UNIX, {}};
        std::strncpy(addr.sun_path, qPrintable(path()), sizeof addr.sun_path - 1);
        std::vector<int> clients;
        for (int fd; (fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0)) >= 0;)
            clients.push_back(fd), (void)::connect(fd, (const sockaddr*)&addr, sizeof addr);
        QCoreApplication::processEvents();
        for (int fd : clients)
            ::close(fd);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &old) == 0 && clients.size() > 30);
        QCOMPARE(send("gui"), CommandChannel::Reply::Done);
        QCOMPARE(captureSpy.count(), 1);
    }

    // What a dead host or anyone else left at the socket or lock path is replaced, but never
    // a folder, nor anything a link points to; a folder is reported and kept.
    void strayFiles() {
        for (const char* stray : {"", "file", "link", "dangling link", "folder 700"}) {
            const QString socket = dir_.filePath("stray.socket"), lock = dir_.filePath("x.lock");
            plant(stray, socket);
            plant(stray, lock);
            const bool folder = QString(stray).startsWith("folder");
            CommandServer server;
            if (folder)
                QTest::ignoreMessage(QtWarningMsg,
                                     QRegularExpression(": it is a folder; `kivo gui`"));
            QCOMPARE(server.listen(socket), !folder);
            {
                InstanceLock first(lock);
                QVERIFY(!first.previousInstance());
                QCOMPARE(first.error().isEmpty(), !folder);
                QCOMPARE(InstanceLock(lock).previousInstance(),
                         !folder); // a second start sees the first
            }
            QVERIFY(!InstanceLock::held(lock));
            QCOMPARE(QFileInfo(socket).isDir() && QFileInfo(lock).isDir(), folder);
            targetUntouched();
            for (const QString& p : {socket, lock})
                QFile::remove(p), QDir().rmdir(p);
        }
        // Asking whether a lock is held makes none.
        QVERIFY(!InstanceLock::held(dir_.filePath("none.lock")));
        QVERIFY(!QFile::exists(dir_.filePath("none.lock")));
    }

    // The runtime folder is used only when it is a real folder of this user's that nobody
    // else can reach; a missing one is made so.
    void runtimeFolder_data() {
        QTest::addColumn<QStringList>("row"); // XDG_RUNTIME_DIR ("" unset), stray, error
        const QString open = "|other users can reach it (mode %1; it must be 700)";
        for (const QString& row : QStringList{
                 "||", "|folder 700|", "|folder 755" + open.arg(755), "|link|it is a symbolic link",
                 "|dangling link|it is a symbolic link", "|file|it is not a folder", "abs||",
                 "rel||", "|folder 700 other|it belongs to another user (uid 65534)",
                 "abs|folder 777" + open.arg(777)})
            QTest::newRow(qPrintable(row)) << row.split('|');
    }
    void runtimeFolder() {
        QFETCH(QStringList, row);
        const QString xdg = row[0], stray = row[1], error = row[2], base = dir_.filePath("base");
        QVERIFY(QDir(base).removeRecursively() && QDir().mkpath(base));
        const QString folder =
            xdg == "abs" ? base + "/run" : base + "/app-" + QString::number(::geteuid());
        const bool other = stray.endsWith(" other");
        plant(other ? stray.chopped(6) : stray, folder);
        if (other && ::chown(qPrintable(folder), 65534, 65534) != 0)
            QSKIP("giving a folder to another user needs root");
        const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", xdg == "rel" ? "run" : QFile::encodeName(folder));
        if (xdg.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        const PrivateFolder::Runtime r = PrivateFolder::runtime("app", base);
        qputenv("XDG_RUNTIME_DIR", oldXdg);
        QCOMPARE(r.path, folder);
        QCOMPARE(r.error, error);
        if (error.isEmpty())
            QCOMPARE(mode(folder), 0700);
        else if (stray.startsWith("folder"))
            QCOMPARE(mode(folder), int(stray.mid(7, 3).toUInt(nullptr, 8)));
        targetUntouched();
    }

    // Per-desktop file names (WAYLAND_DISPLAY|DISPLAY|name): one X server under its different
    // spellings is one name; nothing from the environment can put '/' or '.' into a path.
    void displayFileKey() {
        for (const QString row :
             {"|:1|x11-1", "|unix:1.2|x11-1", "|localhost:10.0|x11-localhost-10",
              "wayland-0|:1|wl-wayland-0", "../../etc/x||wl-_2e_2e_2f_2e_2e_2fetc_2fx", "||"}) {
            const QStringList f = row.split('|');
            QCOMPARE(DisplayName::fileKey(f[0].toUtf8(), f[1].toUtf8()), f[2]);
        }
        const QString longKey = DisplayName::fileKey(QByteArray(200, '/'), {});
        QVERIFY(longKey.size() <= 40 && !longKey.contains(QLatin1Char('/')));
    }

    // Which words start what (arguments split at '|'); anything else is refused, with a message.
    void commandLine() {
        const auto parse = [](const QString& args) { return CommandLine::parse(args.split('|')); };
        QCOMPARE(CommandLine::parse({}).mode, CommandLine::Host);
        QCOMPARE(parse("quit").mode, CommandLine::Quit);
        for (const char* args : {"-v", "--version"})
            QCOMPARE(parse(args).mode, CommandLine::Version);
        for (const char* args : {"-h", "--help"})
            QCOMPARE(parse(args).mode, CommandLine::Help);
        for (const QString row :
             {"gui>", "gui|--screen|pointer>pointer", "gui|--screen=DP-1>DP-1"}) {
            const CommandLine cl = parse(row.section('>', 0, 0));
            QVERIFY(cl.mode == CommandLine::Gui && cl.error.isEmpty());
            QCOMPARE(cl.screen, row.section('>', 1));
        }
        for (const QString& args : QStringList{
                 "GUI", "full", "--delay=3", "", "gui|now", "quit|gui", "gui|--screen",
                 "gui|--screen=", "gui|--screen|DP 1", "gui|--screen|a\nquit",
                 "gui|--screen|" + QString(33, 'a'), "gui|--screen|left|x", "quit|--screen|left"}) {
            const CommandLine cl = parse(args);
            QVERIFY2(cl.mode == CommandLine::Invalid && !cl.error.isEmpty(), qPrintable(args));
        }
    }

    // The scale for monitor "right", second of two, from QT_SCALE_FACTOR|QT_SCREEN_SCALE_FACTORS|
    // GDK_SCALE|font resolution: nonsense ignored, never below 1.
    void desktopScale() {
        for (const QString row :
             {"|||96|1", "|||192|2", "|||144|1.5", "|||100|1", "|||72|1", "1.5|||192|3",
              "|1;1.5||192|1.5", "|right=2;left=1||96|2", "|left=2||96|1", "||2|96|2",
              "abc|right=x|-2|192|2", "1e9|||96|1"}) {
            const QStringList f = row.split('|');
            QVERIFY2(::desktopScale({f[0], f[1], f[2]}, "right", 1, f[3].toDouble()) ==
                         f[4].toFloat(),
                     qPrintable(row));
        }
    }

    // The system-information key names the first of the tools installed on PATH; no other
    // key or value exists.
    void systemKeyValues() {
        QTemporaryDir bin;
        for (const char* tool : {"tool-b", "tool-c"})
            QVERIFY(QFile(bin.filePath(tool)).open(QIODevice::WriteOnly) &&
                    ::chmod(qPrintable(bin.filePath(tool)), 0700) == 0);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        const SystemKeyValues keys({"tool-a", "tool-b", "tool-c"});
        const auto v = keys.value(KeyValueStore::LocalMachine, SystemKeys::kSysInfoKey, "PATH");
        const bool others =
            keys.value(KeyValueStore::LocalMachine, SystemKeys::kSysInfoKey, "MSINFO") ||
            keys.value(0x80000001u, SystemKeys::kSysInfoKey, "PATH") ||
            SystemKeyValues({"tool-a"})
                .value(KeyValueStore::LocalMachine, SystemKeys::kSysInfoKey, "PATH");
        qputenv("PATH", oldPath);
        QVERIFY(v && !others);
        QCOMPARE(v->data, QFile::encodeName(bin.filePath("tool-b")) + '\0');
    }
};

QTEST_MAIN(TestHost)
#include "tst_host.moc"
