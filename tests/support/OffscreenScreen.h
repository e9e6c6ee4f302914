#pragma once
// The offscreen platform's screen is 800 x 800 unless configured: a capture window over a
// 1920 x 1080 fake screen would then be cut to 800 x 800, and input beyond it would miss
// the window. KIVO_TEST_MAIN_SCREEN gives the test's offscreen screen the size it needs.
#include <QApplication>
#include <QDir>
#include <QTemporaryFile>
#include <QtTest>
#include <memory>

// Writes the screen configuration into a file of this process (tests run in parallel) and
// points the offscreen platform at it; the file must live until the application exists.
inline std::unique_ptr<QTemporaryFile> useOffscreenScreenSize(int width, int height) {
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        return nullptr;
    auto file = std::make_unique<QTemporaryFile>(
        QDir::temp().filePath(QStringLiteral("kivo-offscreen-XXXXXX.json")));
    if (!file->open())
        return nullptr;
    file->write(
        QStringLiteral(R"({"screens":[{"name":"Offscreen","x":0,"y":0,"width":%1,"height":%2,)"
                       R"("logicalDpiX":96,"logicalDpiY":96,"dpr":1}]})")
            .arg(width)
            .arg(height)
            .toUtf8());
    file->flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file->fileName().toLocal8Bit());
    return file;
}

#define KIVO_TEST_MAIN_SCREEN(TestObject, width, height)                                           \
    int main(int argc, char** argv) {                                                              \
        const auto screenConfig = useOffscreenScreenSize(width, height);                           \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
