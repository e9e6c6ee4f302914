#include "platform/PortalScreenshot.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <atomic>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Receives the request's one Response signal, in the thread that waits for it.
class ResponseWaiter final : public QObject {
    Q_OBJECT
public:
    QEventLoop loop;
    bool answered = false;
    uint code = 0;
    QVariantMap results;

public Q_SLOTS:
    void response(uint responseCode, const QVariantMap& responseResults) {
        answered = true;
        code = responseCode;
        results = responseResults;
        loop.quit();
    }
};

QString nextToken() {
    static std::atomic<int> count{0};
    return QStringLiteral("screenshot%1_%2").arg(QCoreApplication::applicationPid()).arg(++count);
}

// Read the picture the portal wrote; delete the file once it was read as one.
PortalScreenshot readPicture(const QVariantMap& results, PortalScreenshot shot) {
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile()) {
        shot.error = QStringLiteral("the portal named no local file (\"%1\")").arg(uri.toString());
        return shot;
    }
    QImageReader reader(uri.toLocalFile());
    QImage image = reader.read();
    if (image.isNull()) {
        shot.error =
            QStringLiteral("cannot read %1: %2").arg(uri.toLocalFile(), reader.errorString());
        return shot;
    }
    QFile::remove(uri.toLocalFile());
    shot.image = image.format() == QImage::Format_RGB32
                     ? std::move(image)
                     : image.convertToFormat(QImage::Format_RGB32);
    shot.outcome = PortalScreenshot::Taken;
    return shot;
}

// The call itself, in a thread of its own with its own event loop for the signal.
PortalScreenshot callPortal(std::chrono::milliseconds timeout) {
    PortalScreenshot shot;
    // A connection of its own: Qt holds back every signal on the shared session connection
    // until the program's event loop runs, and the first capture comes before that.
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                        QStringLiteral("portal-screenshot"));
    if (!bus.isConnected()) {
        shot.error = QStringLiteral("no D-Bus session bus");
        return shot;
    }
    // The request's object path follows from our bus name and the token we choose: listen
    // on it before calling, or a quick answer could come before anyone listens.
    const QString token = nextToken();
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString handle = kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    const QString request = QStringLiteral("org.freedesktop.portal.Request");
    ResponseWaiter waiter;
    bus.connect(kService, handle, request, QStringLiteral("Response"), &waiter,
                SLOT(response(uint, QVariantMap)));

    QElapsedTimer clock;
    clock.start();
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    const QDBusMessage reply = bus.call(call, QDBus::Block, int(timeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        shot.error = reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
    } else if (reply.arguments().value(0).value<QDBusObjectPath>().path() != handle) {
        shot.error = QStringLiteral("the portal answered on another request path");
    } else {
        QTimer::singleShot(std::max<qint64>(0, timeout.count() - clock.elapsed()), &waiter.loop,
                           &QEventLoop::quit);
        waiter.loop.exec(); // the answer arrives as an event of this thread's loop
        shot.callMs = clock.nsecsElapsed() / 1e6;
        if (!waiter.answered)
            shot.outcome = PortalScreenshot::NoAnswer;
        else if (waiter.code == 0)
            shot = readPicture(waiter.results, shot);
        else if (waiter.code == 1)
            shot.outcome = PortalScreenshot::Cancelled;
        else if (waiter.code == 2)
            shot.outcome = PortalScreenshot::Refused;
        else
            shot.error = QStringLiteral("the portal answered %1").arg(waiter.code);
    }
    bus.disconnect(kService, handle, request, QStringLiteral("Response"), &waiter,
                   SLOT(response(uint, QVariantMap)));
    return shot;
}
} // namespace

PortalScreenshot::Request::Request(std::chrono::milliseconds timeout)
    : shot_(std::make_unique<PortalScreenshot>()) {
    PortalScreenshot* shot = shot_.get();
    thread_.reset(QThread::create([shot, timeout] { *shot = callPortal(timeout); }));
    thread_->start();
}

PortalScreenshot::Request::~Request() {
    thread_->wait();
}

PortalScreenshot PortalScreenshot::Request::wait() {
    thread_->wait();
    return std::move(*shot_);
}

#include "PortalScreenshot.moc"
