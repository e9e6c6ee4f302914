// The About box: texts, layout, the page opened on load (none unless the build names one),
// closing by Enter and Esc, and every way the system-information button can go.
#include "Fakes.h"
#include "about/frmAbout.h"
#include "form/Vocabulary.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {
const QString kKey1 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kKey2 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
} // namespace

class TestAbout : public QObject {
    Q_OBJECT
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
    void textsAfterLoad() {
        Box b;
        QCOMPARE(b.w->windowTitle(), QStringLiteral("关于 Kivo独立截图截屏软件"));
        QCOMPARE(b.w->lblTitleWidget()->text(), kivo::kAppTitle);
        QCOMPARE(b.w->lblVersionWidget()->text(), QStringLiteral("版本 1.0.2"));
        QCOMPARE(b.w->cmdOKWidget()->text(), QStringLiteral("确定"));
        QCOMPARE(b.w->cmdSysInfoWidget()->text(), QStringLiteral("系统信息(&S)..."));
        QVERIFY(b.w->cmdOKWidget()->isDefault());
        QVERIFY(!b.w->isModal());
    }

    // A page opens on load, once, only when the build names one.
    void homePage_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QList<QUrl>>("opened");
        QTest::newRow("none") << QString("") << QList<QUrl>{};
        QTest::newRow("named") << QString("https://example.org/kivo")
                               << QList<QUrl>{QUrl("https://example.org/kivo")};
    }
    void homePage() {
        QFETCH(QString, page);
        QFETCH(QList<QUrl>, opened);
        Box b(page);
        QCOMPARE(QList<QUrl>(b.fakes.shell.opened.begin(), b.fakes.shell.opened.end()), opened);
    }

    void layoutInPixels_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRectF>("geometry");
        QTest::newRow("picIcon") << "picIcon" << QRectF(8, 8, 51, 51);
        QTest::newRow("lblTitle") << "lblTitle" << QRectF(70, 16, 259, 32);
        QTest::newRow("lblVersion") << "lblVersion" << QRectF(70, 52, 259, 15);
        QTest::newRow("lblDescription") << "lblDescription" << QRectF(72, 80, 267, 78);
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRectF(17, 175, 242, 55);
        QTest::newRow("cmdOK") << "cmdOK" << QRectF(275, 175, 100, 23);
        QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRectF(276, 205, 99, 23);
    }
    void layoutInPixels() {
        QFETCH(QString, control);
        QFETCH(QRectF, geometry);
        Box b;
        const std::map<QString, Control*> controls = {{"picIcon", &b.w->picIcon},
                                                      {"lblTitle", &b.w->lblTitle},
                                                      {"lblVersion", &b.w->lblVersion},
                                                      {"lblDescription", &b.w->lblDescription},
                                                      {"lblDisclaimer", &b.w->lblDisclaimer},
                                                      {"cmdOK", &b.w->cmdOK},
                                                      {"cmdSysInfo", &b.w->cmdSysInfo}};
        const Control* c = controls.at(control);
        QCOMPARE(QRectF(c->Left(), c->Top(), c->Width(), c->Height()), geometry);
        QVERIFY(c->Visible());
        QCOMPARE(QRectF(c->widget()->geometry()), geometry);
        QCOMPARE(b.w->size(), QSize(382, 237));
        QCOMPARE(b.w->minimumSize(), b.w->maximumSize());
    }

    void etchedSeparator() {
        Box b;
        const QImage img = b.w->grab().toImage();
        QCOMPARE(img.pixelColor(200, 163), QColor(0x80, 0x80, 0x80));
        QCOMPARE(img.pixelColor(200, 164), QColor(Qt::white));
        QCOMPARE(img.pixelColor(6, 163), QColor(0x80, 0x80, 0x80));
        QCOMPARE(img.pixelColor(7, 164), QColor(Qt::white));
        QVERIFY(img.pixelColor(6, 164) != QColor(Qt::white));
    }

    void enterAndEscCloseAndDestroy_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void enterAndEscCloseAndDestroy() {
        QFETCH(int, key);
        Box b;
        b.w->activateWindow();
        QTest::keyClick(b.w.data(), Qt::Key(key));
        QTRY_VERIFY(!b.w);
        QCOMPARE(b.fakes.shell.started.size(), 0);
    }

    void sysInfo_data() {
        QTest::addColumn<QByteArray>("path");   // first key's PATH; null: missing
        QTest::addColumn<QByteArray>("folder"); // second key's MSINFO; null: missing
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<bool>("startSucceeds");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<bool>("message");
        const QStringList none;
        QTest::newRow("first key, used without a file check")
            << QByteArray("/usr/bin/hardinfo\0", 18) << QByteArray() << none << true
            << QStringList{"/usr/bin/hardinfo"} << false;
        QTest::newRow("first key wins over the second")
            << QByteArray("/opt/a") << QByteArray("/opt/b") << QStringList{"/opt/b/MSINFO32.EXE"}
            << true << QStringList{"/opt/a"} << false;
        QTest::newRow("first key, program fails to start")
            << QByteArray("/nowhere/tool") << QByteArray() << none << false
            << QStringList{"/nowhere/tool"} << true;
        QTest::newRow("second key, file there") << QByteArray() << QByteArray("/opt/msinfo\0", 12)
                                                << QStringList{"/opt/msinfo/MSINFO32.EXE"} << true
                                                << QStringList{"/opt/msinfo/MSINFO32.EXE"} << false;
        QTest::newRow("second key, no file")
            << QByteArray() << QByteArray("/opt/msinfo") << none << true << none << true;
        QTest::newRow("second key, file fails to start")
            << QByteArray() << QByteArray("/opt/msinfo") << QStringList{"/opt/msinfo/MSINFO32.EXE"}
            << false << QStringList{"/opt/msinfo/MSINFO32.EXE"} << true;
        QTest::newRow("first value too long for the buffer, second key used")
            << QByteArray(1025, 'x') << QByteArray("/opt/msinfo")
            << QStringList{"/opt/msinfo/MSINFO32.EXE"} << true
            << QStringList{"/opt/msinfo/MSINFO32.EXE"} << false;
        QTest::newRow("no key at all")
            << QByteArray() << QByteArray() << none << true << none << true;
    }
    void sysInfo() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, folder);
        QFETCH(QStringList, existing);
        QFETCH(bool, startSucceeds);
        QFETCH(QStringList, started);
        QFETCH(bool, message);
        Box b;
        if (!path.isNull())
            b.keys.setText(kKey1, QStringLiteral("PATH"), path);
        if (!folder.isNull())
            b.keys.setText(kKey2, QStringLiteral("MSINFO"), folder);
        b.fakes.shell.existing = existing;
        b.fakes.shell.startSucceeds = startSucceeds;
        QTest::mouseClick(b.w->cmdSysInfoWidget(), Qt::LeftButton);
        QCOMPARE(b.fakes.shell.started, started);
        QCOMPARE(b.fakes.messageBox.shown.size(), size_t(message ? 1 : 0));
        if (message)
            QCOMPARE(b.fakes.messageBox.shown[0].text, QStringLiteral("此时系统信息不可用"));
        QVERIFY(b.w); // the box stays open
    }

    void getKeyValue_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data"); // null: no such value
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        QTest::newRow("text with its zero") << 1u << QByteArray("C:\\x\0", 5) << true << "C:\\x";
        QTest::newRow("text without a zero") << 1u << QByteArray("abc") << true << "abc";
        QTest::newRow("only the last zero goes")
            << 1u << QByteArray("ab\0\0", 4) << true << QString::fromLatin1("ab\0", 3);
        QTest::newRow("empty text") << 1u << QByteArray("") << true << "";
        QTest::newRow("number") << 4u << QByteArray("\x02\x01\0\0", 4) << true << "258";
        QTest::newRow("short number") << 4u << QByteArray("\x07", 1) << true << "7";
        QTest::newRow("other type keeps the text")
            << 3u << QByteArray("\x01\x02", 2) << true << "before";
        QTest::newRow("1024 characters fit")
            << 1u << QByteArray(1024, 'a') << true << QString(1024, QLatin1Char('a'));
        QTest::newRow("1025 do not") << 1u << QByteArray(1025, 'a') << false << "";
        QTest::newRow("missing") << 1u << QByteArray() << false << "";
    }
    void getKeyValue() {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(bool, found);
        QFETCH(QString, text);
        Box b;
        if (!data.isNull())
            b.keys.values[{KeyValueStore::LocalMachine, QStringLiteral("K"), QStringLiteral("V")}] =
                {type, data};
        QString value = QStringLiteral("before");
        QCOMPARE(b.w->GetKeyValue(KeyValueStore::LocalMachine, QStringLiteral("K"),
                                  QStringLiteral("V"), value),
                 found);
        QCOMPARE(value, text);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
