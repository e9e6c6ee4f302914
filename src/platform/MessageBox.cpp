#include "platform/MessageBox.h"

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
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}
