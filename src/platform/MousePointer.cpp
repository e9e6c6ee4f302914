#include "platform/MousePointer.h"

#include <QGuiApplication>

Qt::CursorShape PointerShape::toQt(int value) {
    switch (value) {
    case Arrow:
        return Qt::ArrowCursor;
    case Crosshair:
        return Qt::CrossCursor;
    case SizeAll:
        return Qt::SizeAllCursor;
    case SizeNESW:
        return Qt::SizeBDiagCursor;
    case SizeNS:
        return Qt::SizeVerCursor;
    case SizeNWSE:
        return Qt::SizeFDiagCursor;
    case SizeWE:
        return Qt::SizeHorCursor;
    case Hourglass:
        return Qt::WaitCursor;
    default:
        return Qt::ArrowCursor;
    }
}

QtMousePointer::~QtMousePointer() {
    set(PointerShape::Default);
}

void QtMousePointer::set(int value) {
    // Mouse moves set the pointer on every call; only talk to the window system on a change.
    if (value == value_)
        return;
    const bool hadOverride = value_ != PointerShape::Default;
    value_ = value;
    if (value == PointerShape::Default) {
        if (hadOverride)
            QGuiApplication::restoreOverrideCursor();
    } else if (hadOverride) {
        QGuiApplication::changeOverrideCursor(QCursor(PointerShape::toQt(value)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(PointerShape::toQt(value)));
    }
}
