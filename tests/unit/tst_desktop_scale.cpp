// The scale the desktop asks for: from the font resolution, Qt's and GTK's variables, by
// monitor; nonsense ignored; never below 1.
#include "platform/DesktopScale.h"

#include <QTest>

class TestDesktopScale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scale_data() {
        QTest::addColumn<QString>("qt");      // QT_SCALE_FACTOR
        QTest::addColumn<QString>("screens"); // QT_SCREEN_SCALE_FACTORS
        QTest::addColumn<QString>("gdk");     // GDK_SCALE
        QTest::addColumn<double>("dpi");
        QTest::addColumn<float>("scale"); // for monitor "right", second of two
        QTest::newRow("ordinary") << ""
                                  << ""
                                  << "" << 96.0 << 1.0f;
        QTest::newRow("Xft.dpi 192") << ""
                                     << ""
                                     << "" << 192.0 << 2.0f;
        QTest::newRow("Xft.dpi 144") << ""
                                     << ""
                                     << "" << 144.0 << 1.5f;
        QTest::newRow("Xft.dpi 100 stays 1") << ""
                                             << ""
                                             << "" << 100.0 << 1.0f;
        QTest::newRow("Xft.dpi 72 is no shrink") << ""
                                                 << ""
                                                 << "" << 72.0 << 1.0f;
        QTest::newRow("QT_SCALE_FACTOR") << "2"
                                         << ""
                                         << "" << 96.0 << 2.0f;
        QTest::newRow("QT_SCALE_FACTOR times dpi") << "1.5"
                                                   << ""
                                                   << "" << 192.0 << 3.0f;
        QTest::newRow("by order") << ""
                                  << "1;1.5"
                                  << "" << 192.0 << 1.5f;
        QTest::newRow("by name") << ""
                                 << "right=2;left=1"
                                 << "" << 96.0 << 2.0f;
        QTest::newRow("other names only") << ""
                                          << "left=2"
                                          << "" << 96.0 << 1.0f;
        QTest::newRow("GDK_SCALE") << ""
                                   << ""
                                   << "2" << 96.0 << 2.0f;
        QTest::newRow("nonsense") << "abc"
                                  << "right=x"
                                  << "-2" << 192.0 << 2.0f;
        QTest::newRow("absurd") << "1e9"
                                << ""
                                << "" << 96.0 << 1.0f;
    }
    void scale() {
        QFETCH(QString, qt);
        QFETCH(QString, screens);
        QFETCH(QString, gdk);
        QFETCH(double, dpi);
        QTEST(desktopScale({qt, screens, gdk}, QStringLiteral("right"), 1, dpi), "scale");
    }
};

QTEST_APPLESS_MAIN(TestDesktopScale)
#include "tst_desktop_scale.moc"
