// The tray host: start-up order, the icon, the menu and its commands, the shortcuts.
#include "Fakes.h"
#include "about/frmAbout.h"
#include "capture/frmCapture.h"
#include "shell/Form1.h"

#include <QMenu>
#include <QPointer>
#include <QTest>

class TestForm1 : public QObject {
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

private Q_SLOTS:
    void startupShowsTheCaptureBeforeTheIcon() {
        Host h;
        bool captureShownAtAdd = false;
        h.tray.onAdd = [&] {
            captureShownAtAdd = h.form->capture() && h.form->capture()->isVisible();
        };
        QVERIFY(h.form->Load());
        QCOMPARE(h.tray.adds, 1);
        QVERIFY(captureShownAtAdd);
        QCOMPARE(h.fakes.screen.grabs, 1);
        QCOMPARE(h.tray.tip_, QStringLiteral("Kivo截图截屏独立软件-Zorvik"));
        const QList<QSize> sizes = h.tray.icon_.availableSizes();
        for (int s : {16, 24, 32, 48})
            QVERIFY2(sizes.contains(QSize(s, s)), qPrintable(QString::number(s)));
        QVERIFY(h.printed.isEmpty());
        QCOMPARE(h.fakes.program.ended, 0);
        QVERIFY(!h.form->isVisible());
    }

    void secondCopyEndsBeforeAnyIcon() {
        Host h;
        h.fakes.instance.running = true;
        QVERIFY(!h.form->Load());
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
        QCOMPARE(h.fakes.messageBox.shown[0].text,
                 QStringLiteral("程序已运行，请查看任务栏的托盘图标!!!"));
        QCOMPARE(h.fakes.program.ended, 1);
        QCOMPARE(h.tray.adds, 0);
        QVERIFY(!h.form->capture());
        // Nothing to take away on the way out either.
        h.form.reset();
        QCOMPARE(h.tray.removes, 0);
    }

    void aRefusedCaptureLeavesTheHostRunning() {
        Host h;
        h.fakes.screen.failureText = QStringLiteral("refused");
        QVERIFY(h.form->Load());
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
        QCOMPARE(h.fakes.messageBox.shown[0].text, QStringLiteral("refused"));
        QVERIFY(!h.form->capture());
        QCOMPARE(h.tray.adds, 1);
        QCOMPARE(h.fakes.program.ended, 0);
        h.fakes.screen.failureText.clear();
        h.form->jietu_Click();
        QVERIFY(h.form->capture() && h.form->capture()->isVisible());
    }

    void withoutTrayItSaysHowToReachIt() {
        Host h;
        h.tray.hasTray = false;
        QVERIFY(h.form->Load());
        QCOMPARE(h.printed.size(), 1);
        QVERIFY(h.printed[0].contains(QStringLiteral("kivo gui")));
        QVERIFY(h.printed[0].contains(QStringLiteral("kivo quit")));
        QVERIFY(!h.printed[0].contains(QLatin1Char('\n')));
        // The icon is still handed to the tray, which shows it once a tray appears.
        QCOMPARE(h.tray.adds, 1);
        QCOMPARE(h.fakes.program.ended, 0);
    }

    void menuItemsAndLevels() {
        Host h;
        QCOMPARE(h.form->sys->title(), QStringLiteral("文件"));
        const QList<QAction*> top = h.form->sys->actions();
        QCOMPARE(top.size(), 4);
        QCOMPARE(top[0], h.form->jietu);
        QCOMPARE(top[0]->text(), QStringLiteral("截图"));
        QCOMPARE(top[1]->text(), QStringLiteral("看电影"));
        QCOMPARE(top[1]->menu(), h.form->movie);
        QCOMPARE(top[2]->text(), QStringLiteral("关于"));
        QCOMPARE(top[3]->text(), QStringLiteral("退出"));
        const QList<QAction*> links = h.form->movie->actions();
        QCOMPARE(links.size(), 2);
        QCOMPARE(links[0], h.form->vadrin);
        QCOMPARE(links[1], h.form->pelko);
        QVERIFY(!h.form->vadrin->text().isEmpty() && !h.form->pelko->text().isEmpty());
        QVERIFY(h.form->vadrin->text() != h.form->pelko->text());
    }

    void onlyTheRightButtonReleaseOpensTheMenu_data() {
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("opens");
        QTest::newRow("move") << 0x200 << false;
        QTest::newRow("left down") << 0x201 << false;
        QTest::newRow("left up") << 0x202 << false;
        QTest::newRow("left double") << 0x203 << false;
        QTest::newRow("right down") << 0x204 << false;
        QTest::newRow("right up") << 0x205 << true;
        QTest::newRow("right double") << 0x206 << false;
        QTest::newRow("middle up") << 0x208 << false;
    }
    void onlyTheRightButtonReleaseOpensTheMenu() {
        QFETCH(int, message);
        QFETCH(bool, opens);
        Host h;
        QVERIFY(h.form->Load());
        const int grabs = h.fakes.screen.grabs;
        Q_EMIT h.tray.mouse(message);
        QCOMPARE(h.form->sys->isVisible(), opens);
        // No event on the icon starts anything by itself.
        QCOMPARE(h.fakes.screen.grabs, grabs);
        QVERIFY(!h.form->about());
        h.form->sys->hide();
    }

    void captureCommandOnlyRaisesAnOpenCapture() {
        Host h;
        QVERIFY(h.form->Load());
        QPointer<frmCapture> first = h.form->capture();
        h.form->jietu->trigger();
        QCOMPARE(h.form->capture(), first.data());
        QCOMPARE(h.fakes.screen.grabs, 1);
        h.endCapture();
        h.form->jietu->trigger();
        QVERIFY(h.form->capture());
        QVERIFY(h.form->capture()->isVisible());
        QCOMPARE(h.fakes.screen.grabs, 2);
        QCOMPARE(h.tray.adds, 1);
    }

    void aRequestedMonitorIsForThatCaptureAlone() {
        Host h;
        QVERIFY(h.form->Load());
        h.endCapture();
        h.form->captureOn(QStringLiteral("nowhere")); // no such monitor: nothing opens
        QVERIFY(!h.form->capture());
        h.form->captureOn(ScreenSource::kPointer);
        QCOMPARE(h.fakes.screen.chosen, ScreenSource::kPointer);
        h.form->captureOn(QStringLiteral("fake")); // while one is open: it is only raised
        QCOMPARE(h.fakes.screen.chosen, ScreenSource::kPointer);
        h.endCapture();
        h.form->jietu->trigger(); // the tray's 截图 takes the primary monitor again
        QCOMPARE(h.fakes.screen.chosen, ScreenSource::kPrimary);
        QCOMPARE(h.fakes.screen.grabs, 3);
    }

    void shortcuts_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("captures");
        QTest::newRow("Ctrl+D") << int(Qt::Key_D) << int(Qt::ControlModifier) << true;
        QTest::newRow("Ctrl+Shift+D")
            << int(Qt::Key_D) << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
        QTest::newRow("Ctrl+Alt+D")
            << int(Qt::Key_D) << int(Qt::ControlModifier | Qt::AltModifier) << false;
        QTest::newRow("D") << int(Qt::Key_D) << int(Qt::NoModifier) << false;
        QTest::newRow("Ctrl+E") << int(Qt::Key_E) << int(Qt::ControlModifier) << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << false;
    }
    void shortcuts() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, captures);
        Host h;
        QVERIFY(h.form->Load());
        h.endCapture();
        QTest::keyClick(h.form.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(bool(h.form->capture()), captures);
        QCOMPARE(h.fakes.screen.grabs, captures ? 2 : 1);
    }

    void linksOpenInTheBrowser() {
        Host h;
        h.form->vadrin->trigger();
        h.form->pelko->trigger();
        QCOMPARE(h.fakes.shell.opened.size(), size_t(2));
        QCOMPARE(h.fakes.shell.opened[0], QUrl(Form1::kFirstLink));
        QCOMPARE(h.fakes.shell.opened[1], QUrl(Form1::kSecondLink));
        for (const QUrl& u : h.fakes.shell.opened)
            QVERIFY2(u.isValid() && u.scheme() == QLatin1String("https"), qPrintable(u.toString()));
        QVERIFY(h.fakes.shell.opened[0] != h.fakes.shell.opened[1]);
    }

    void aboutOpensOnceAndIsOnlyRaisedAfterwards() {
        Host h;
        h.form->NMshow->trigger();
        QPointer<frmAbout> about = h.form->about();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(!about->isModal());
        h.form->NMshow->trigger();
        QCOMPARE(h.form->about(), about.data());
        about->cmdOK_Click();
        QTRY_VERIFY(!about);
        h.form->NMshow->trigger();
        QVERIFY(h.form->about());
        QVERIFY(h.form->about()->isVisible());
        h.form->about()->cmdOK_Click();
    }

    void exitRemovesTheIconThenEnds() {
        Host h;
        QVERIFY(h.form->Load());
        int endedAtRemove = -1;
        h.tray.onRemove = [&] { endedAtRemove = h.fakes.program.ended; };
        h.form->NMexit->trigger();
        QCOMPARE(h.tray.removes, 1);
        QCOMPARE(endedAtRemove, 0);
        QCOMPARE(h.fakes.program.ended, 1);
        // The host going away afterwards does not remove it a second time.
        h.form.reset();
        QCOMPARE(h.tray.removes, 1);
    }

    void unloadRemovesTheIconOnce() {
        Host h;
        QVERIFY(h.form->Load());
        h.form->close();
        QCOMPARE(h.tray.removes, 1);
        h.form.reset();
        QCOMPARE(h.tray.removes, 1);
        QCOMPARE(h.fakes.program.ended, 0);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
