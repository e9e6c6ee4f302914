#include "platform/PortalScreenSource.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
// Long enough for a user to answer the desktop's "allow screenshots?" question.
constexpr std::chrono::seconds kTimeout{30};

// xdg-desktop-portal keeps a refusal in its permission store (table "screenshot", entry
// "screenshot") and then refuses every later call without asking. Deleting the entry makes
// it ask again.
const QString kHowToAllow = QStringLiteral(
    "\n\n如果桌面曾问“是否允许应用截屏”而选了“拒绝”，桌面门户（xdg-desktop-portal）会把这个"
    "选择记在它的权限库里（表 screenshot），以后的截屏请求都会直接被拒绝。要重新允许，请在终端"
    "运行下面的命令清除这个选择，然后再截图，并在桌面询问时选择“允许”：\n\n"
    "busctl --user call org.freedesktop.impl.portal.PermissionStore "
    "/org/freedesktop/impl/portal/PermissionStore org.freedesktop.impl.portal.PermissionStore "
    "Delete ss screenshot screenshot");

QString failureText(const PortalScreenshot& shot) {
    switch (shot.outcome) {
    case PortalScreenshot::Refused:
        return QStringLiteral("桌面拒绝了截屏，无法截取屏幕。") + kHowToAllow;
    case PortalScreenshot::Cancelled:
        return QStringLiteral("桌面取消了截屏，无法截取屏幕。") + kHowToAllow;
    case PortalScreenshot::NoAnswer:
        return QStringLiteral("桌面在 %1 秒内没有回应截屏请求，无法截取屏幕。请确认桌面门户"
                              "（xdg-desktop-portal）在运行，然后再试。")
            .arg(kTimeout.count());
    case PortalScreenshot::Failed:
    case PortalScreenshot::Taken:
        break;
    }
    return QStringLiteral("无法通过桌面门户（xdg-desktop-portal）截取屏幕：%1").arg(shot.error);
}
} // namespace

PortalScreenSource::PortalScreenSource(const DesktopScaleHints& hints) : QtScreenSource(hints) {}

PortalScreenSource::~PortalScreenSource() = default;

void PortalScreenSource::startGrab() {
    if (!request_)
        request_ = std::make_unique<PortalScreenshot::Request>(kTimeout);
}

QImage PortalScreenSource::grab() {
    failure_.clear();
    startGrab();
    PortalScreenshot shot = request_->wait();
    request_.reset();
    if (shot.outcome != PortalScreenshot::Taken) {
        // Told in a message box, and logged for whoever reads the session's log.
        failure_ = failureText(shot);
        qWarning("no screenshot from the desktop portal: %s", qPrintable(failure_));
        return {};
    }
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop |= screen->geometry();
    return cropToOutput(shot.image, desktop, geometry());
}

bool waylandSession() {
    return qgetenv("XDG_SESSION_TYPE") == "wayland" ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QImage cropToOutput(const QImage& picture, const QRect& desktop, const QRect& output) {
    if (picture.isNull() || desktop.isEmpty() || output.isEmpty())
        return {};
    if (desktop == output && picture.size() == output.size())
        return picture;
    const double sx = double(picture.width()) / desktop.width();
    const double sy = double(picture.height()) / desktop.height();
    const QRect part(qRound((output.x() - desktop.x()) * sx),
                     qRound((output.y() - desktop.y()) * sy), qRound(output.width() * sx),
                     qRound(output.height() * sy));
    const QImage cropped = picture.copy(part);
    if (cropped.size() == output.size())
        return cropped;
    return cropped.scaled(output.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
