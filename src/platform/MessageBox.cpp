#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

void QtMessageBox::show(const QString& text, const QString& title, Icon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Critical:
        qtIcon = QMessageBox::Critical;
        break;
    case Question:
        qtIcon = QMessageBox::Question;
        break;
    case Exclamation:
        qtIcon = QMessageBox::Warning;
        break;
    case Information:
        qtIcon = QMessageBox::Information;
        break;
    case NoIcon:
        break;
    }
    // A child of the window in front, above it also on Wayland (see QtSaveDialog).
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse); // e.g. a command to copy
    box.exec();
}
