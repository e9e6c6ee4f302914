#pragma once
// The offscreen platform's screen is 800 x 800 unless configured: a capture window over a
// 1920 x 1080 fake screen would then be cut to 800 x 800, and input beyond it would miss
// the window. KIVO_TEST_MAIN_SCREEN gives the test's offscreen screen the size it needs.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

inline void useOffscreenScreenSize(int width, int height) {
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        return;
    const QString path =
        QDir::temp().filePath(QStringLiteral("kivo-offscreen-%1x%2.json").arg(width).arg(height));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(
            QStringLiteral(R"({"screens":[{"name":"Offscreen","x":0,"y":0,"width":%1,"height":%2,)"
                           R"("logicalDpiX":96,"logicalDpiY":96,"dpr":1}]})")
                .arg(width)
                .arg(height)
                .toUtf8());
        f.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toLocal8Bit());
    }
}

#define KIVO_TEST_MAIN_SCREEN(TestObject, width, height)                                           \
    int main(int argc, char** argv) {                                                              \
        useOffscreenScreenSize(width, height);                                                     \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
