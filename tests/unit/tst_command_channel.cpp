// Requests to the running host over its local socket: the known ones are answered and acted
// on, everything else is refused and logged; the socket is the user's alone.
#include "shell/CommandChannel.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <future>

class TestCommandChannel : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("kivo.socket")); }

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

    void aSocketLeftBehindIsReplaced() {
        {
            QFile stale(path());
            QVERIFY(stale.open(QIODevice::WriteOnly));
        }
        CommandServer server;
        QVERIFY(server.listen(path()));
        QSignalSpy captureSpy(&server, &CommandServer::captureRequested);
        QCOMPARE(exchange("gui\n"), QByteArray("ok\n"));
        QCOMPARE(captureSpy.count(), 1);
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
