#pragma once
#include "form/Control.h"
#include "platform/Platform.h"

#include <QDialog>
#include <QString>
#include <cstdint>

class KeyValueStore;
class QLabel;
class QPushButton;

// The About box: title, version, the project's web page opened when it loads (only when the
// build names one), and a button that starts the system-information tool.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    static const QString kNotAvailable;
    // The home page, from the build setting KIVO_HOME_PAGE; empty: none, and nothing opens.
    QString homePage;

    frmAbout(const Platform& platform, const KeyValueStore& keys, QWidget* parent = nullptr);
    ~frmAbout() override;

    // Open the home page (if any) and fill in the captions; run once, when the box is created.
    void Load();
    void cmdOK_Click();
    void cmdSysInfo_Click() { StartSysInfo(); }
    void StartSysInfo();
    // Read a value from the key-value store as text. False (and ValueText empty) when the
    // key or value is missing or does not fit 1024 characters.
    bool GetKeyValue(uint32_t RootKey, const QString& SubKeyPath, const QString& ValueName,
                     QString& ValueText);

    // ---- Controls (pixel geometry as float, from twips / 15) ----
    Control picIcon, lblTitle, lblVersion, lblDescription, lblDisclaimer, cmdOK, cmdSysInfo;
    QLabel* lblTitleWidget() const { return lblTitleW_; }
    QLabel* lblVersionWidget() const { return lblVersionW_; }
    QPushButton* cmdOKWidget() const { return cmdOKW_; }
    QPushButton* cmdSysInfoWidget() const { return cmdSysInfoW_; }

public Q_SLOTS:
    // Esc presses cmdOK: the box is closed and destroyed.
    void reject() override { cmdOK_Click(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Platform platform_;
    const KeyValueStore& keys_;
    QLabel* lblTitleW_ = nullptr;
    QLabel* lblVersionW_ = nullptr;
    QPushButton* cmdOKW_ = nullptr;
    QPushButton* cmdSysInfoW_ = nullptr;
};
