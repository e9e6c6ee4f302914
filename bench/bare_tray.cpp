// The floor for the host's idle memory: a bare Qt Widgets program with a tray icon and a
// two-item menu, nothing else. bench_footprint.sh measures it beside the real host.
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setBrush(QColor(0x1e, 0x88, 0xe5));
        p.drawEllipse(2, 2, 28, 28);
    }
    QMenu menu;
    menu.addAction(QStringLiteral("Capture"));
    menu.addAction(QStringLiteral("Quit"), &app, &QCoreApplication::quit);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.setContextMenu(&menu);
    tray.setToolTip(QStringLiteral("bare tray"));
    tray.show();
    return app.exec();
}
