#include "about/frmAbout.h"

#include "form/AppIcon.h"
#include "form/Vocabulary.h"
#include "platform/KeyValueStore.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVersionNumber>
#include <QtEndian>

using kivo::kAppTitle;
using kivo::twips;
using namespace SystemKeys;

namespace {
constexpr int kValueBufferChars = 1024;

QLabel* makeLabel(QWidget* parent, Control& c, float l, float t, float w, float h,
                  const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c.setWidget(label);
    c.setGeometry(twips(l), twips(t), twips(w), twips(h));
    c.show();
    return label;
}

QPushButton* makeButton(QWidget* parent, Control& c, float l, float t, float w, float h,
                        const QString& text) {
    auto* button = new QPushButton(text, parent);
    c.setWidget(button);
    c.setGeometry(twips(l), twips(t), twips(w), twips(h));
    c.show();
    return button;
}
} // namespace

const QString frmAbout::kNotAvailable = QStringLiteral("此时系统信息不可用");

frmAbout::frmAbout(const Platform& platform, const KeyValueStore& keys, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      homePage(QStringLiteral(KIVO_HOME_PAGE)), platform_(platform), keys_(keys) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(kivo::roundInt(twips(5730)), kivo::roundInt(twips(3555)));

    auto* icon = new QLabel(this);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(appIconPixmap(48));
    picIcon.setWidget(icon);
    picIcon.setGeometry(twips(120), twips(120), twips(765), twips(765));
    picIcon.show();

    lblTitleW_ = makeLabel(this, lblTitle, 1050, 240, 3885, 480);
    QFont big = lblTitleW_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lblTitleW_->setFont(big);
    lblVersionW_ = makeLabel(this, lblVersion, 1050, 780, 3885, 225);
    makeLabel(this, lblDescription, 1080, 1200, 4005, 1170,
              QStringLiteral("框选屏幕上的任意区域，在上面加矩形、椭圆、箭头和文字，"
                             "再复制到剪贴板或保存为图片。"));
    makeLabel(this, lblDisclaimer, 255, 2625, 3630, 825,
              QStringLiteral("本软件按原样提供，不附带任何明示或暗示的担保。"));

    cmdOKW_ = makeButton(this, cmdOK, 4125, 2625, 1500, 345, QStringLiteral("确定"));
    cmdOKW_->setDefault(true);
    cmdOKW_->setAutoDefault(true);
    connect(cmdOKW_, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    cmdSysInfoW_ =
        makeButton(this, cmdSysInfo, 4140, 3075, 1485, 345, QStringLiteral("系统信息(&S)..."));
    cmdSysInfoW_->setAutoDefault(false);
    connect(cmdSysInfoW_, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

frmAbout::~frmAbout() = default;

void frmAbout::Load() {
    // The page opens each time the box is created; whether it opened is not checked. No
    // address is made up when the build names none: whoever held it would choose the page.
    if (!homePage.isEmpty())
        platform_.shell->openUrl(QUrl(homePage));
    setWindowTitle(QStringLiteral("关于 ") + kAppTitle);
    const QVersionNumber v = QVersionNumber::fromString(QStringLiteral(KIVO_VERSION));
    lblVersionW_->setText(QStringLiteral("版本 %1.%2.%3")
                              .arg(v.majorVersion())
                              .arg(v.minorVersion())
                              .arg(v.microVersion()));
    lblTitleW_->setText(kAppTitle);
    // Centred on the screen the box opens on.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void frmAbout::cmdOK_Click() {
    QDialog::done(QDialog::Accepted);
}

void frmAbout::StartSysInfo() {
    QString SysInfoPath;
    bool started = false;
    if (GetKeyValue(KeyValueStore::LocalMachine, kSysInfoKey, kSysInfoValue, SysInfoPath)) {
        // Used as it stands: a named program that does not exist fails to start below.
        started = platform_.shell->startProgram(SysInfoPath);
    } else if (GetKeyValue(KeyValueStore::LocalMachine, kSysInfoLocKey, kSysInfoLocValue,
                           SysInfoPath)) {
        const QString file = SysInfoPath + QStringLiteral("/MSINFO32.EXE");
        if (platform_.shell->fileExists(file))
            started = platform_.shell->startProgram(file);
    }
    if (!started)
        platform_.messageBox->show(kNotAvailable, kAppTitle, MessageBox::NoIcon);
}

bool frmAbout::GetKeyValue(uint32_t RootKey, const QString& SubKeyPath, const QString& ValueName,
                           QString& ValueText) {
    const std::optional<KeyValueStore::Value> v = keys_.value(RootKey, SubKeyPath, ValueName);
    if (!v || v->data.size() > kValueBufferChars) {
        ValueText = QString();
        return false;
    }
    QByteArray text = v->data;
    if (text.endsWith('\0'))
        text.chop(1);
    if (v->type == KeyValueStore::Text) {
        ValueText = QString::fromLocal8Bit(text);
    } else if (v->type == KeyValueStore::Number) {
        QByteArray raw = v->data.left(4);
        raw.append(4 - raw.size(), '\0');
        ValueText = QString::number(qFromLittleEndian<quint32>(raw.constData()));
    }
    return true;
}

void frmAbout::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    // The etched separator: a grey line with a white one a pixel below it.
    QPainter p(this);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(QPointF(twips(90), twips(2445)), QPointF(twips(5654), twips(2445)));
    p.setPen(Qt::white);
    p.drawLine(QPointF(twips(105), twips(2460)), QPointF(twips(5654), twips(2460)));
}
