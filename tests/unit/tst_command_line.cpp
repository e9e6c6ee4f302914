// The command line: which words start what, and what is refused.
#include "shell/CommandLine.h"

#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("mode");
        QTest::newRow("nothing") << QStringList{} << int(CommandLine::Host);
        QTest::newRow("gui") << QStringList{"gui"} << int(CommandLine::Gui);
        QTest::newRow("quit") << QStringList{"quit"} << int(CommandLine::Quit);
        QTest::newRow("--version") << QStringList{"--version"} << int(CommandLine::Version);
        QTest::newRow("-v") << QStringList{"-v"} << int(CommandLine::Version);
        QTest::newRow("--help") << QStringList{"--help"} << int(CommandLine::Help);
        QTest::newRow("-h") << QStringList{"-h"} << int(CommandLine::Help);
        QTest::newRow("upper case") << QStringList{"GUI"} << int(CommandLine::Invalid);
        QTest::newRow("unknown word") << QStringList{"full"} << int(CommandLine::Invalid);
        QTest::newRow("unknown option") << QStringList{"--delay=3"} << int(CommandLine::Invalid);
        QTest::newRow("empty word") << QStringList{""} << int(CommandLine::Invalid);
        QTest::newRow("extra argument") << QStringList{"gui", "now"} << int(CommandLine::Invalid);
        QTest::newRow("two commands") << QStringList{"quit", "gui"} << int(CommandLine::Invalid);
    }
    void parse() {
        QFETCH(QStringList, args);
        QFETCH(int, mode);
        const CommandLine cl = CommandLine::parse(args);
        QCOMPARE(int(cl.mode), mode);
        QCOMPARE(cl.error.isEmpty(), mode != CommandLine::Invalid);
    }

    void screenOption_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("screen"); // null: refused
        QTest::newRow("none") << QStringList{"gui"} << "";
        QTest::newRow("pointer") << QStringList{"gui", "--screen", "pointer"} << "pointer";
        QTest::newRow("with =") << QStringList{"gui", "--screen=DP-1"} << "DP-1";
        QTest::newRow("no value") << QStringList{"gui", "--screen"} << QString();
        QTest::newRow("empty value") << QStringList{"gui", "--screen="} << QString();
        QTest::newRow("blank in it") << QStringList{"gui", "--screen", "DP 1"} << QString();
        QTest::newRow("line break") << QStringList{"gui", "--screen", "a\nquit"} << QString();
        QTest::newRow("too long") << QStringList{"gui", "--screen", QString(33, 'a')} << QString();
        QTest::newRow("then more") << QStringList{"gui", "--screen", "left", "x"} << QString();
        QTest::newRow("for quit") << QStringList{"quit", "--screen", "left"} << QString();
    }
    void screenOption() {
        QFETCH(QStringList, args);
        QFETCH(QString, screen);
        const CommandLine cl = CommandLine::parse(args);
        QCOMPARE(cl.mode, screen.isNull() ? CommandLine::Invalid : CommandLine::Gui);
        QCOMPARE(cl.screen, screen.isNull() ? cl.screen : screen);
    }

    void usageNamesEveryCommand() {
        const QString u = CommandLine::usage();
        for (const char* word : {"gui", "quit", "--screen", "--version", "--help"})
            QVERIFY2(u.contains(QLatin1String(word)), word);
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
