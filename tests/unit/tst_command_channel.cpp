// Requests to the running host over its local socket: the known ones are answered and
// acted on, everything else is refused and logged; the socket, the lock and the folder that
// holds them are the user's alone, and stray files there neither block nor mislead.
#include "platform/DisplayName.h"
#include "platform/InstanceLock.h"
#include "platform/PrivateFolder.h"
#include "shell/CommandChannel.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

class TestCommandChannel : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("kivo.socket")); }

    static int mode(const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777)
                                                                      : -1;
    }
    // Put what a row names at path: "" nothing, "file", "folder NNN" (octal mode), "link" to
    // a private folder of ours, "dangling link".
    void plant(const QString& what, const QString& path) {
        const QString target = dir_.filePath(QStringLiteral("target"));
        QDir(target).removeRecursively();
        QVERIFY(QDir().mkpath(target));
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0750) == 0);
        if (what == QLatin1String("file")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("12345\nsomebody\n");
        } else if (what.startsWith(QLatin1String("folder"))) {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(::chmod(QFile::encodeName(path).constData(), what.mid(7).toUInt(nullptr, 8)) ==
                    0);
        } else if (what == QLatin1String("link")) {
            QVERIFY(QFile::link(target, path));
        } else if (what == QLatin1String("dangling link")) {
            QVERIFY(QFile::link(dir_.filePath(QStringLiteral("nowhere")), path));
        }
    }
    // Nothing was changed or written through a link: the target keeps its mode, stays empty.
    void targetUntouched() {
        const QString target = dir_.filePath(QStringLiteral("target"));
        QCOMPARE(mode(target), 0750);
        QVERIFY(QDir(target).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("nowhere"))));
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

private Q_SLOTS:
    void requests_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("captures");
        QTest::addColumn<int>("quits");
        QTest::addColumn<bool>("logged");
        QTest::newRow("gui") << QByteArray("gui\n") << QByteArray("ok\n") << 1 << 0 << false;
        QTest::newRow("quit") << QByteArray("quit\n") << QByteArray("ok\n") << 0 << 1 << false;
        QTest::newRow("unknown") << QByteArray("rm -rf ~\n") << QByteArray("refused\n") << 0 << 0
                                 << true;
        QTest::newRow("command with more")
            << QByteArray("gui now please\n") << QByteArray("refused\n") << 0 << 0 << true;
        QTest::newRow("gui pointer")
            << QByteArray("gui pointer\n") << QByteArray("ok\n") << 1 << 0 << false;
        QTest::newRow("gui two blanks")
            << QByteArray("gui  pointer\n") << QByteArray("refused\n") << 0 << 0 << true;
        QTest::newRow("gui odd name")
            << QByteArray("gui a;b\n") << QByteArray("refused\n") << 0 << 0 << true;
        QTest::newRow("binary") << QByteArray("\x01\xff\x00gui\n", 7) << QByteArray("refused\n")
                                << 0 << 0 << true;
        QTest::newRow("over-long line") << QByteArray(100, 'g') + '\n'
                                        << QByteArray("refused\n") << 0 << 0 << true;
        QTest::newRow("endless line")
            << QByteArray(4096, 'q') << QByteArray("refused\n") << 0 << 0 << true;
    }
    void requests() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, answer);
        QFETCH(int, captures);
        QFETCH(int, quits);
        QFETCH(bool, logged);
        CommandServer server;
        QVERIFY(server.listen(path()));
        QSignalSpy captureSpy(&server, &CommandServer::captureRequested);
        QSignalSpy quitSpy(&server, &CommandServer::quitRequested);
        if (logged)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^kivo: refused")));
        QCOMPARE(exchange(bytes), answer);
        QCOMPARE(captureSpy.count(), captures);
        QCOMPARE(quitSpy.count(), quits);
    }

    void monitorsByName() {
        CommandServer server;
        server.setMonitorNames([] { return QStringList{"left", "right"}; });
        QVERIFY(server.listen(path()));
        QSignalSpy captureSpy(&server, &CommandServer::captureRequested);
        QCOMPARE(exchange("gui right\n"), QByteArray("ok\n"));
        QCOMPARE(captureSpy.value(0).value(0).toString(), QStringLiteral("right"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^kivo: refused")));
        const QString p = path();
        QString reason;
        auto answer = std::async(std::launch::async, [p, &reason] {
            return CommandChannel::send(p, "gui middle", 3000, &reason);
        });
        QVERIFY(QTest::qWaitFor(
            [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            5000));
        QCOMPARE(answer.get(), CommandChannel::Reply::Refused);
        QVERIFY2(reason.contains(QStringLiteral("\"middle\" (monitors: left, right")),
                 qPrintable(reason));
        QCOMPARE(captureSpy.count(), 1);
    }

    void socketIsTheUsersAlone() {
        CommandServer server;
        QVERIFY(server.listen(path()));
        const QFile::Permissions p = QFile::permissions(path());
        QVERIFY(p & QFile::WriteOwner);
        QVERIFY(
            !(p & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
    }

    // What a dead host or anyone else left at the socket path is replaced, but never a
    // folder, nor anything a link points to; a folder is reported, naming the path.
    void strayFilesAtTheSocketPath_data() {
        QTest::addColumn<QString>("stray");
        QTest::newRow("file") << "file";
        QTest::newRow("link") << "link";
        QTest::newRow("dangling link") << "dangling link";
        QTest::newRow("folder") << "folder 700";
    }
    void strayFilesAtTheSocketPath() {
        QFETCH(QString, stray);
        QFile::remove(path());
        QDir().rmdir(path());
        plant(stray, path());
        const bool folder = stray.startsWith(QLatin1String("folder"));
        CommandServer server;
        if (folder)
            QTest::ignoreMessage(
                QtWarningMsg, qPrintable(QStringLiteral("kivo: cannot listen for commands at %1: "
                                                        "it is a folder; `kivo gui` and `kivo "
                                                        "quit` cannot reach this Kivo")
                                             .arg(path())));
        QCOMPARE(server.listen(path()), !folder);
        targetUntouched();
        if (folder) {
            QVERIFY(QFileInfo(path()).isDir());
            QCOMPARE(CommandChannel::obstacle(path()), QStringLiteral("it is a folder"));
            QDir().rmdir(path());
            return;
        }
        QSignalSpy captureSpy(&server, &CommandServer::captureRequested);
        QCOMPARE(exchange("gui\n"), QByteArray("ok\n"));
        QCOMPARE(captureSpy.count(), 1);
    }

    // A lock no live process holds is taken, whatever was left at its path, without
    // following links; a folder there is reported and kept.
    void strayFilesAtTheLockPath_data() {
        QTest::addColumn<QString>("stray");
        QTest::addColumn<bool>("taken");
        QTest::newRow("nothing") << "" << true;
        QTest::newRow("a dead host's file") << "file" << true;
        QTest::newRow("link") << "link" << true;
        QTest::newRow("dangling link") << "dangling link" << true;
        QTest::newRow("folder") << "folder 700" << false;
    }
    void strayFilesAtTheLockPath() {
        QFETCH(QString, stray);
        QFETCH(bool, taken);
        const QString lockPath = dir_.filePath(QStringLiteral("x.lock"));
        plant(stray, lockPath);
        {
            InstanceLock lock(lockPath);
            QVERIFY(!lock.previousInstance());
            QCOMPARE(lock.error().isEmpty(), taken);
            QCOMPARE(InstanceLock::held(lockPath), taken);
            // A second start sees the first.
            InstanceLock second(lockPath);
            QCOMPARE(second.previousInstance(), taken);
        }
        QVERIFY(!InstanceLock::held(lockPath));
        targetUntouched();
        QCOMPARE(QFileInfo(lockPath).isDir(), !taken);
        QFile::remove(lockPath);
        QDir().rmdir(lockPath);
    }

    // The runtime folder is used only when it is a real folder of this user's that nobody
    // else can reach; a missing one is made so. Never changed or written through a link.
    void runtimeFolder_data() {
        QTest::addColumn<QString>("xdg"); // XDG_RUNTIME_DIR: "" unset, "rel" relative, "abs"
        QTest::addColumn<QString>("stray");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const char* xdg, const char* stray,
                            const char* error) {
            QTest::newRow(name) << QString(xdg) << QString(stray) << QString(error);
        };
        const char* open = "other users can reach it (mode %1; it must be 700)";
        row("missing: made", "", "", "");
        row("private", "", "folder 700", "");
        row("open to others", "", "folder 755", qPrintable(QString(open).arg(755)));
        row("link to a folder of ours", "", "link", "it is a symbolic link");
        row("dangling link", "", "dangling link", "it is a symbolic link");
        row("file", "", "file", "it is not a folder");
        row("another user's", "", "folder 700 other", "it belongs to another user (uid 65534)");
        row("XDG_RUNTIME_DIR missing: made", "abs", "", "");
        row("XDG_RUNTIME_DIR open to others", "abs", "folder 777",
            qPrintable(QString(open).arg(777)));
        row("XDG_RUNTIME_DIR relative: ignored", "rel", "", "");
    }
    void runtimeFolder() {
        QFETCH(QString, xdg);
        QFETCH(QString, stray);
        QFETCH(QString, error);
        const QString base = dir_.filePath(QStringLiteral("base"));
        QDir(base).removeRecursively();
        QVERIFY(QDir().mkpath(base));
        const QString fallback = base + QStringLiteral("/app-") + QString::number(::geteuid());
        const QString folder =
            xdg == QLatin1String("abs") ? base + QStringLiteral("/run") : fallback;
        const bool other = stray.endsWith(QLatin1String(" other"));
        plant(other ? stray.chopped(6) : stray, folder);
        if (other && ::chown(QFile::encodeName(folder).constData(), 65534, 65534) != 0)
            QSKIP("giving a folder to another user needs root");
        const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
        if (xdg.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR",
                    xdg == QLatin1String("rel") ? "run" : QFile::encodeName(folder));
        const PrivateFolder::Runtime r = PrivateFolder::runtime(QStringLiteral("app"), base);
        qputenv("XDG_RUNTIME_DIR", oldXdg);
        QCOMPARE(r.path, folder);
        QCOMPARE(r.error, error);
        if (error.isEmpty())
            QCOMPARE(mode(folder), 0700);
        else if (stray.startsWith(QLatin1String("folder")))
            QCOMPARE(mode(folder), int(stray.mid(7, 3).toUInt(nullptr, 8)));
        targetUntouched();
    }

    // Per-desktop file names: one X server under its different spellings is one name;
    // nothing from the environment can put '/' or '.' into a path.
    void displayFileKey_data() {
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QString>("key");
        QTest::newRow("X") << QByteArray() << QByteArray(":1") << "x11-1";
        QTest::newRow("X screen") << QByteArray() << QByteArray("unix:1.2") << "x11-1";
        QTest::newRow("X remote") << QByteArray() << QByteArray("localhost:10.0")
                                  << "x11-localhost-10";
        QTest::newRow("Wayland wins")
            << QByteArray("wayland-0") << QByteArray(":1") << "wl-wayland-0";
        QTest::newRow("climbing out")
            << QByteArray("../../etc/x") << QByteArray() << "wl-_2e_2e_2f_2e_2e_2fetc_2fx";
        QTest::newRow("none") << QByteArray() << QByteArray() << "";
    }
    void displayFileKey() {
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, x11);
        QFETCH(QString, key);
        QCOMPARE(DisplayName::fileKey(wayland, x11), key);
        const QString longKey = DisplayName::fileKey(QByteArray(200, '/') + wayland, {});
        QVERIFY(longKey.size() <= 40 && !longKey.contains(QLatin1Char('/')));
    }

    void clientAgainstNoServer() {
        QFile::remove(path());
        QCOMPARE(CommandChannel::send(path(), "gui", 500), CommandChannel::Reply::NoServer);
    }

    void clientAgainstTheServer_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("reply");
        QTest::newRow("gui") << QByteArray("gui") << int(CommandChannel::Reply::Done);
        QTest::newRow("other") << QByteArray("shot") << int(CommandChannel::Reply::Refused);
    }
    void clientAgainstTheServer() {
        QFETCH(QByteArray, command);
        QFETCH(int, reply);
        CommandServer server;
        QVERIFY(server.listen(path()));
        if (reply == int(CommandChannel::Reply::Refused))
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^kivo: refused")));
        // The client blocks; the server needs this thread's event loop meanwhile.
        const QString p = path();
        auto answer = std::async(std::launch::async,
                                 [p, command] { return CommandChannel::send(p, command); });
        QVERIFY(QTest::qWaitFor(
            [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            5000));
        QCOMPARE(int(answer.get()), reply);
    }
};

QTEST_MAIN(TestCommandChannel)
#include "tst_command_channel.moc"
