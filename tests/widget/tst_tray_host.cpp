// The tray host's start-up, menu, shortcuts and quitting; the About box and its buttons.
#include "Fakes.h"
#include "about/frmAbout.h"
#include "capture/frmCapture.h"
#include "shell/Form1.h"
#include "shell/QtTranslations.h"

#include <QtTest>
#include <QtWidgets>

class TestTrayHost : public QObject {
    Q_OBJECT
    struct Host {
        FakePlatform fakes{QSize(800, 600)};
        FakeTray tray;
        FakeKeyValues keys;
        std::unique_ptr<Form1> form = std::make_unique<Form1>(fakes.platform(), tray, keys);
    };
    struct Box {
        FakePlatform fakes;
        FakeKeyValues keys;
        QPointer<frmAbout> w = new frmAbout(fakes.platform(), keys);
        explicit Box(const QString& homePage = {}) {
            w->homePage = homePage;
            w->Load();
            w->show();
        }
        ~Box() { delete w.data(); }
    };

private Q_SLOTS:
    // A refused capture leaves the host running; closing the host takes the icon away
    // once, and the program runs on.
    void startupAndClose() {
        Host h;
        h.fakes.screen.failureText = QStringLiteral("refused");
        QVERIFY(h.form->Load());
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
        QVERIFY(!h.form->capture() && h.tray.adds == 1 && !h.form->isVisible());
        h.fakes.screen.failureText.clear();
        h.form->jietu_Click();
        QVERIFY(h.form->capture() && h.form->capture()->isVisible());
        h.form->close();
        QCOMPARE(h.tray.removes, 1);
        h.form.reset();
        QVERIFY(h.tray.removes == 1 && h.fakes.program.ended == 0);
    }

    // The About item opens one box and raises it afterwards; quit takes the icon away first.
    void menuWalk() {
        Host h;
        QVERIFY(h.form->Load());
        const QList<QAction*> items = h.form->sys->actions();
        items[0]->trigger(); // an open capture is raised, not grabbed again
        QCOMPARE(std::pair(int(items.size()), h.fakes.screen.grabs), std::pair(4, 1));
        items[2]->trigger();
        QPointer<frmAbout> about = h.form->about();
        QVERIFY(about && about->isVisible() && !about->isModal());
        items[2]->trigger();
        QCOMPARE(h.form->about(), about.data());
        about->cmdOK_Click();
        QTRY_VERIFY(!about);
        items[2]->trigger();
        QVERIFY(h.form->about() && h.form->about()->isVisible());
        int endedAtRemove = -1;
        h.tray.onRemove = [&] { endedAtRemove = h.fakes.program.ended; };
        items[3]->trigger();
        QVERIFY(endedAtRemove == 0 && h.fakes.program.ended == 1);
        h.form.reset();
        QCOMPARE(h.tray.removes, 1);
    }

    // Only the right button's release opens the menu, and no event on the icon starts
    // anything by itself; without a tray one line says how to reach the host.
    void trayIcon() {
        for (int message : {0x200, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x208}) {
            Host h;
            QStringList printed;
            h.form->printLine = [&](const QString& line) { printed << line; };
            h.tray.hasTray = message != 0x200;
            QVERIFY(h.form->Load());
            QCOMPARE(printed.size(), int(!h.tray.hasTray));
            QVERIFY(h.tray.hasTray ||
                    (printed[0].contains("kivo gui") && printed[0].contains("kivo quit")));
            Q_EMIT h.tray.mouse(message);
            QVERIFY2(h.form->sys->isVisible() == (message == 0x205),
                     qPrintable(QString::number(message)));
            QVERIFY(h.fakes.screen.grabs == 1 && !h.form->about() && h.tray.adds == 1);
            h.form->sys->hide();
        }
    }

    // Ctrl+D and Enter start a capture; nothing else does.
    void shortcuts() {
        const QStringList starts{"Ctrl+D", "Return", "Num+Enter"};
        for (const QString& keys : starts + QStringList{"Ctrl+Shift+D", "D", "Ctrl+E", "Space"}) {
            const QKeyCombination key = QKeySequence(keys)[0];
            Host h;
            QVERIFY(h.form->Load() && h.form->capture());
            h.form->capture()->Unload(); // the way a capture ends itself
            QTRY_VERIFY(!h.form->capture());
            QTest::keyClick(h.form.get(), key.key(), key.keyboardModifiers());
            QVERIFY2(bool(h.form->capture()) == starts.contains(keys), qPrintable(keys));
        }
    }

    // Qt's own buttons speak Chinese, whatever the locale.
    void qtTextsInChinese() {
        QVERIFY(loadQtTranslations(*qApp));
        QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Save)->text().left(2), QStringLiteral("保存"));
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().left(2), QStringLiteral("取消"));
    }

    // A page opens on load only when the build names one; Enter and Esc close and destroy.
    void aboutBox() {
        {
            Box b(QStringLiteral("https://example.org/kivo"));
            QCOMPARE(b.fakes.shell.opened, std::vector<QUrl>{QUrl("https://example.org/kivo")});
        }
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            Box b;
            QVERIFY(b.fakes.shell.opened.empty());
            b.w->activateWindow();
            QTest::keyClick(b.w.data(), key);
            QTRY_VERIFY(!b.w);
        }
    }

    // The first key's program is started as it stands; else the second key's folder, if the
    // file is there; a message when nothing starts. Rows: PATH|MSINFO|file there|starts|started.
    void sysInfo() {
        for (const QString& row : QStringList{
                 "/usr/bin/hardinfo|||1|/usr/bin/hardinfo", "/opt/a|/opt/b|1|1|/opt/a",
                 "/nowhere|||0|/nowhere", "|/opt/m|1|1|/opt/m/MSINFO32.EXE", "|/opt/m||1|",
                 "|/opt/m|1|0|/opt/m/MSINFO32.EXE", "||1|1|", "/" + QString(1023, 'a') + "|||1|"}) {
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
};

QTEST_MAIN(TestTrayHost)
#include "tst_tray_host.moc"
