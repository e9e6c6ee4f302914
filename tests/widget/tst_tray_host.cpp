// The tray host: start-up order, the menu and its commands, the icon's mouse, the shortcuts,
// quitting; the About box: the page it opens, closing, and the system-information button.
#include "Fakes.h"
#include "about/frmAbout.h"
#include "capture/frmCapture.h"
#include "shell/Form1.h"

#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>

class TestTrayHost : public QObject {
    Q_OBJECT
    struct Host {
        FakePlatform fakes{QSize(800, 600)};
        FakeTray tray;
        FakeKeyValues keys;
        std::unique_ptr<Form1> form;
        QStringList printed;
        Host() {
            form = std::make_unique<Form1>(fakes.platform(), tray, keys);
            form->printLine = [this](const QString& line) { printed << line; };
        }
        // End the open capture the way a capture ends itself, and let it be destroyed.
        void endCapture() {
            QVERIFY(form->capture());
            form->capture()->Unload();
            QTRY_VERIFY(!form->capture());
        }
    };
    struct Box {
        FakePlatform fakes;
        FakeKeyValues keys;
        QPointer<frmAbout> w;
        explicit Box(const QString& homePage = {}) {
            w = new frmAbout(fakes.platform(), keys);
            w->homePage = homePage;
            w->Load();
            w->show();
        }
        ~Box() { delete w.data(); }
    };

private Q_SLOTS:
    // The capture comes before the icon; without a tray one line says how to reach Kivo and
    // the icon is still handed over for when a tray appears.
    void startup_data() {
        QTest::addColumn<bool>("hasTray");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void startup() {
        QFETCH(bool, hasTray);
        Host h;
        h.tray.hasTray = hasTray;
        bool captureShownAtAdd = false;
        h.tray.onAdd = [&] {
            captureShownAtAdd = h.form->capture() && h.form->capture()->isVisible();
        };
        QVERIFY(h.form->Load());
        QCOMPARE(h.tray.adds, 1);
        QVERIFY(captureShownAtAdd);
        QCOMPARE(h.fakes.screen.grabs, 1);
        QCOMPARE(h.fakes.program.ended, 0);
        QVERIFY(!h.form->isVisible());
        QCOMPARE(h.printed.size(), hasTray ? 0 : 1);
        if (!hasTray)
            QVERIFY(h.printed[0].contains("\"kivo gui\"") &&
                    h.printed[0].contains("\"kivo quit\""));
        h.form->close(); // the icon goes, once; the program runs on
        QCOMPARE(h.tray.removes, 1);
        h.form.reset();
        QCOMPARE(h.tray.removes, 1);
        QCOMPARE(h.fakes.program.ended, 0);
    }

    void secondCopyEndsBeforeAnyIcon() {
        Host h;
        h.fakes.instance.running = true;
        QVERIFY(!h.form->Load());
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
        QCOMPARE(h.fakes.messageBox.shown[0].text,
                 QStringLiteral("程序已运行，请查看任务栏的托盘图标!!!"));
        QCOMPARE(h.fakes.program.ended, 1);
        QVERIFY(!h.form->capture());
        h.form.reset();
        QCOMPARE(h.tray.adds + h.tray.removes, 0);
    }

    void aRefusedCaptureLeavesTheHostRunning() {
        Host h;
        h.fakes.screen.failureText = QStringLiteral("refused");
        QVERIFY(h.form->Load());
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
        QVERIFY(!h.form->capture());
        QCOMPARE(h.tray.adds, 1);
        QCOMPARE(h.fakes.program.ended, 0);
        h.fakes.screen.failureText.clear();
        h.form->jietu_Click();
        QVERIFY(h.form->capture() && h.form->capture()->isVisible());
    }

    // Only the right button's release opens the menu; nothing on the icon starts anything.
    void iconMouse() {
        Host h;
        QVERIFY(h.form->Load());
        for (int message : {0x200, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x208}) {
            Q_EMIT h.tray.mouse(message);
            QVERIFY2(h.form->sys->isVisible() == (message == 0x205),
                     qPrintable(QString::number(message, 16)));
            h.form->sys->hide();
        }
        QCOMPARE(h.fakes.screen.grabs, 1);
        QVERIFY(!h.form->about());
    }

    // The menu in its order: a capture (only raised while one is open), two film sites, the
    // About box (opened once, raised afterwards), quit (the icon goes first).
    void menuWalk() {
        Host h;
        QVERIFY(h.form->Load());
        const QList<QAction*> items = h.form->sys->actions();
        QCOMPARE(items.size(), 4);
        QPointer<frmCapture> first = h.form->capture();
        items[0]->trigger();
        QCOMPARE(h.form->capture(), first.data());
        QCOMPARE(h.fakes.screen.grabs, 1);
        h.endCapture();
        items[0]->trigger();
        QVERIFY(h.form->capture() && h.form->capture()->isVisible());
        QCOMPARE(h.fakes.screen.grabs, 2);

        QVERIFY(items[1]->menu());
        for (QAction* link : items[1]->menu()->actions())
            link->trigger();
        QCOMPARE(h.fakes.shell.opened.size(), size_t(2));
        for (const QUrl& u : h.fakes.shell.opened)
            QVERIFY2(u.isValid() && u.scheme() == QLatin1String("https"), qPrintable(u.toString()));
        QVERIFY(h.fakes.shell.opened[0] != h.fakes.shell.opened[1]);

        items[2]->trigger();
        QPointer<frmAbout> about = h.form->about();
        QVERIFY(about && about->isVisible() && !about->isModal());
        items[2]->trigger();
        QCOMPARE(h.form->about(), about.data());
        about->cmdOK_Click();
        QTRY_VERIFY(!about);
        items[2]->trigger();
        QVERIFY(h.form->about() && h.form->about()->isVisible());
        h.form->about()->cmdOK_Click();

        int endedAtRemove = -1;
        h.tray.onRemove = [&] { endedAtRemove = h.fakes.program.ended; };
        items[3]->trigger();
        QCOMPARE(endedAtRemove, 0);
        QCOMPARE(h.fakes.program.ended, 1);
        h.form.reset(); // the host going away does not remove the icon a second time
        QCOMPARE(h.tray.removes, 1);
    }

    // A requested monitor is for that capture alone; an unknown one opens nothing.
    void monitorRequests() {
        Host h;
        QVERIFY(h.form->Load());
        h.endCapture();
        h.form->captureOn(QStringLiteral("nowhere"));
        QVERIFY(!h.form->capture());
        h.form->captureOn(ScreenSource::kPointer);
        QCOMPARE(h.fakes.screen.chosen, ScreenSource::kPointer);
        h.form->captureOn(QStringLiteral("fake")); // while one is open: it is only raised
        QCOMPARE(h.fakes.screen.chosen, ScreenSource::kPointer);
        h.endCapture();
        h.form->jietu->trigger();
        QCOMPARE(h.fakes.screen.chosen, ScreenSource::kPrimary);
        QCOMPARE(h.fakes.screen.grabs, 3);
    }

    // Ctrl+D and Enter start a capture; nothing else does.
    void shortcuts() {
        const QStringList starts{"Ctrl+D", "Return", "Num+Enter"};
        for (const QString& keys :
             starts + QStringList{"Ctrl+Shift+D", "Ctrl+Alt+D", "D", "Ctrl+E", "Space"}) {
            const QKeyCombination key = QKeySequence(keys)[0];
            const bool captures = starts.contains(keys);
            Host h;
            QVERIFY(h.form->Load());
            h.endCapture();
            QTest::keyClick(h.form.get(), key.key(), key.keyboardModifiers());
            QVERIFY2(bool(h.form->capture()) == captures, qPrintable(keys));
            QCOMPARE(h.fakes.screen.grabs, captures ? 2 : 1);
        }
    }

    // A page opens on load only when the build names one; Enter and Esc close and destroy.
    void aboutBox() {
        {
            Box b(QStringLiteral("https://example.org/kivo"));
            QCOMPARE(b.fakes.shell.opened, std::vector<QUrl>{QUrl("https://example.org/kivo")});
        }
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            Box b;
            QCOMPARE(b.w->minimumSize(), b.w->maximumSize()); // a fixed size
            QVERIFY(b.fakes.shell.opened.empty());
            b.w->activateWindow();
            QTest::keyClick(b.w.data(), key);
            QTRY_VERIFY(!b.w);
            QVERIFY(b.fakes.shell.started.isEmpty());
        }
    }

    // The first key's program is started as it stands; else the second key's folder, if the
    // file is there; a message when nothing starts. Rows: PATH|MSINFO|file there|starts|started.
    void sysInfo() {
        for (const QString row :
             {"/usr/bin/hardinfo|||1|/usr/bin/hardinfo", "/opt/a|/opt/b|1|1|/opt/a",
              "/nowhere|||0|/nowhere", "|/opt/m|1|1|/opt/m/MSINFO32.EXE", "|/opt/m||1|",
              "|/opt/m|1|0|/opt/m/MSINFO32.EXE", "||1|1|"}) {
            const QStringList f = row.split('|');
            Box b;
            if (!f[0].isEmpty())
                b.keys.setText(SystemKeys::kSysInfoKey, SystemKeys::kSysInfoValue,
                               f[0].toUtf8() + '\0');
            if (!f[1].isEmpty())
                b.keys.setText(SystemKeys::kSysInfoLocKey, SystemKeys::kSysInfoLocValue,
                               f[1].toUtf8());
            if (f[2] == "1")
                b.fakes.shell.existing = QStringList{f[1] + "/MSINFO32.EXE"};
            b.fakes.shell.startSucceeds = f[3] == "1";
            QTest::mouseClick(b.w->cmdSysInfoWidget(), Qt::LeftButton);
            QCOMPARE(b.fakes.shell.started, f[4].isEmpty() ? QStringList() : QStringList{f[4]});
            const bool message = f[4].isEmpty() || f[3] != "1";
            QCOMPARE(b.fakes.messageBox.shown.size(), size_t(message));
            if (message)
                QCOMPARE(b.fakes.messageBox.shown[0].text, QStringLiteral("此时系统信息不可用"));
            QVERIFY(b.w); // the box stays open
        }
    }

    // Values as the key store holds them: text loses only its last zero and fits in 1024
    // characters, numbers are little-endian, another type leaves the text as it was.
    void keyValues() {
        const QList<std::tuple<uint, QByteArray, QString>> rows{
            {1, QByteArray("ab\0\0", 4), QString::fromLatin1("ab\0", 3)},
            {1, QByteArray(1024, 'a'), QString(1024, 'a')},
            {1, QByteArray(1025, 'a'), QString()},
            {4, QByteArray("\x02\x01\0\0", 4), "258"},
            {4, QByteArray("\x07", 1), "7"},
            {3, QByteArray("\x01\x02", 2), "before"},
            {0, QByteArray(), QString()}};
        for (const auto& [type, data, text] : rows) {
            Box b;
            if (type)
                b.keys.values[{KeyValueStore::LocalMachine, "K", "V"}] = {type, data};
            QString value = QStringLiteral("before");
            QCOMPARE(b.w->GetKeyValue(KeyValueStore::LocalMachine, "K", "V", value),
                     !text.isNull());
            QCOMPARE(value, text);
        }
    }
};

QTEST_MAIN(TestTrayHost)
#include "tst_tray_host.moc"
