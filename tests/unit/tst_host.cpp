// The host's inputs: socket requests, the command line, the runtime folder, the desktop scale.
#include "platform/DesktopScale.h"
#include "platform/DisplayName.h"
#include "platform/InstanceLock.h"
#include "platform/LocalConnection.h"
#include "platform/LocalRequest.h"
#include "platform/PrivateFolder.h"
#include "shell/CommandChannel.h"
#include "shell/CommandLine.h"

#include <QtTest>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

class TestHost : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString target() const { return dir_.filePath(QStringLiteral("target")); }

    static int mode(const QString& path) {
        struct stat st {};
        return ::lstat(qPrintable(path), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }
    // Put at path: "" nothing, "file", "folder NNN" (octal mode), "link" to an empty folder
    // of mode 750, or "dangling link"; targetUntouched() then checks nothing went through it.
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
    // A blocking client on another thread, while this one serves it.
    template <typename Client> static auto served(Client client) {
        auto result = std::async(std::launch::async, client);
        while (result.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return result.get();
    }
    void targetUntouched() {
        QCOMPARE(mode(target()), 0750);
        QVERIFY(QDir(target()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot));
        QVERIFY(!QFile::exists(dir_.filePath("nowhere")));
    }

private Q_SLOTS:
    // Only gui (of a monitor by name) and quit are acted on; anything else is refused.
    void requests() {
        const QString path = dir_.filePath("kivo.socket");
        CommandServer server;
        server.setMonitorNames([] { return QStringList{"left", "right"}; });
        QVERIFY(server.listen(path));
        QCOMPARE(mode(path) & 0777, 0600);
        QSignalSpy captureSpy(&server, &CommandServer::captureRequested);
        QSignalSpy quitSpy(&server, &CommandServer::quitRequested);
        QByteArrayList refused =
            QByteArray("rm -rf ~\n|gui now please\n|gui  pointer\n|gui a;b\n|gui middle\n")
                .split('|');
        refused << QByteArray("\x01\xff\x00gui\n", 7) << QByteArray(100, 'g') + '\n'
                << QByteArray(4096, 'q');
        for (const QByteArray& bytes :
             QByteArrayList{"gui\n", "gui pointer\n", "gui right\n", "quit\n"} + refused) {
            captureSpy.clear();
            quitSpy.clear();
            const bool ok = !refused.contains(bytes), quit = bytes == "quit\n";
            if (!ok)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^kivo: refused"));
            const std::optional<QByteArray> answer =
                served([&] { return localRequest(path, bytes, 2000); });
            QVERIFY2(answer && answer->startsWith(ok ? "ok\n" : "refused") &&
                         answer->endsWith('\n'),
                     answer.value_or("no connection"));
            QCOMPARE(quitSpy.count(), int(quit));
            QCOMPARE(captureSpy.count(), int(ok && !quit));
            if (!captureSpy.isEmpty())
                QCOMPARE(captureSpy.value(0).value(0).toString(),
                         bytes == "gui\n" ? "primary" : bytes.mid(4).trimmed());
        }
        // Every connection answered is closed and freed.
        QTRY_VERIFY(server.findChildren<LocalConnection*>().isEmpty());
    }

    // The client's reading of the answers: done, refused with the host's reason, no host.
    void replies() {
        const QString path = dir_.filePath("replies.socket");
        CommandServer server;
        server.setMonitorNames([] { return QStringList{"left"}; });
        QVERIFY(server.listen(path));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^kivo: refused"));
        using R = CommandChannel::Reply;
        for (const auto& [at, command, reply, reason] :
             {std::tuple(path, "gui", R::Done, ""),
              std::tuple(path, "gui middle", R::Refused,
                         R"(no monitor is named "middle" (monitors: left; or pointer, primary))"),
              std::tuple(dir_.filePath("none.socket"), "gui", R::NoServer, "")}) {
            QString why;
            QCOMPARE(served([&] { return CommandChannel::send(at, command, 2000, &why); }), reply);
            QCOMPARE(why, QString(reason));
        }
    }

    // Whatever was left at the socket or lock path is replaced, never written through; a
    // folder there is reported and kept.
    void strayFiles() {
        for (const char* stray : {"", "file", "link", "dangling link", "folder 700"}) {
            const QString socket = dir_.filePath("stray.socket"), lock = dir_.filePath("x.lock");
            plant(stray, socket);
            plant(stray, lock);
            const bool folder = QString(stray).startsWith("folder");
            CommandServer server;
            if (folder)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(": it is a folder"));
            QCOMPARE(server.listen(socket), !folder);
            {
                InstanceLock first(lock);
                QVERIFY(!first.previousInstance());
                QCOMPARE(first.error().isEmpty(), !folder);
                QCOMPARE(InstanceLock(lock).previousInstance(), !folder);
            }
            QVERIFY(!InstanceLock::held(lock));
            QCOMPARE(QFileInfo(socket).isDir() && QFileInfo(lock).isDir(), folder);
            targetUntouched();
            for (const QString& p : {socket, lock})
                QFile::remove(p), QDir().rmdir(p);
        }
        QVERIFY(!InstanceLock::held(dir_.filePath("none.lock"))); // asking makes no file
        QVERIFY(!QFile::exists(dir_.filePath("none.lock")));
    }

    // Rows: XDG_RUNTIME_DIR ("" unset, abs, rel) | what is there | error.
    void runtimeFolder() {
        const QString open = "|other users can reach it (mode %1; it must be 700)";
        for (const QString& row : QStringList{
                 "||", "|folder 700|", "|folder 755" + open.arg(755), "|link|it is a symbolic link",
                 "|dangling link|it is a symbolic link", "|file|it is not a folder", "abs||",
                 "rel||", "abs|folder 777" + open.arg(777),
                 "|folder 700 other|it belongs to another user (uid 65534)"}) {
            const QString xdg = row.section('|', 0, 0), stray = row.section('|', 1, 1),
                          base = dir_.filePath("base");
            QVERIFY(QDir(base).removeRecursively() && QDir().mkpath(base));
            const QString folder =
                xdg == "abs" ? base + "/run" : base + "/app-" + QString::number(::geteuid());
            const bool other = stray.endsWith(" other");
            plant(other ? stray.chopped(6) : stray, folder);
            if (other && ::chown(qPrintable(folder), 65534, 65534) != 0)
                QSKIP("giving a folder to another user needs root"); // the last row
            const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
            qputenv("XDG_RUNTIME_DIR", xdg == "rel" ? "run" : QFile::encodeName(folder));
            if (xdg.isEmpty())
                qunsetenv("XDG_RUNTIME_DIR");
            const PrivateFolder::Runtime r = PrivateFolder::runtime("app", base);
            qputenv("XDG_RUNTIME_DIR", oldXdg);
            QCOMPARE(r.path, folder);
            QCOMPARE(r.error, row.section('|', 2));
            if (stray.startsWith("folder") || r.error.isEmpty())
                QCOMPARE(mode(folder),
                         r.error.isEmpty() ? 0700 : int(stray.mid(7, 3).toUInt(nullptr, 8)));
            targetUntouched();
        }
    }

    // One X server under its spellings is one key; no '/' or '.' gets into a file name.
    void displayFileKey() {
        QCOMPARE(DisplayName::fileKey({}, ":1"), DisplayName::fileKey({}, "unix:1.2"));
        QCOMPARE(DisplayName::fileKey("../../etc/x", {}), "wl-_2e_2e_2f_2e_2e_2fetc_2fx");
        QVERIFY(!DisplayName::fileKey(QByteArray(200, '/'), {}).contains('/'));
    }

    // Arguments split at '|' > the monitor asked for, or "!" when refused with a message.
    void commandLine() {
        for (const QString& row :
             QStringList{"gui>", "gui|--screen|pointer>pointer", "gui|--screen=DP-1>DP-1", "GUI>!",
                         "gui|now>!", "quit|gui>!", "gui|--screen>!", "gui|--screen=>!",
                         "gui|--screen|DP 1>!", "gui|--screen|a\nquit>!",
                         "gui|--screen|" + QString(33, 'a') + ">!", "gui|--screen|left|x>!",
                         "quit|--screen|left>!"}) {
            const CommandLine cl = CommandLine::parse(row.section('>', 0, 0).split('|'));
            const bool refused = row.endsWith('!');
            QCOMPARE(cl.mode, refused ? CommandLine::Invalid : CommandLine::Gui);
            QCOMPARE(cl.error.isEmpty(), !refused);
            if (!refused)
                QCOMPARE(cl.screen, row.section('>', 1));
        }
    }

    // Scale of monitor "right", second of two, from QT_SCALE_FACTOR|QT_SCREEN_SCALE_FACTORS|
    // GDK_SCALE|font dpi: nonsense ignored, never below 1.
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
};

QTEST_MAIN(TestHost)
#include "tst_host.moc"
