#pragma once
// Fakes of the platform layer for headless tests and benchmarks.
#include "platform/Clipboard.h"
#include "platform/InstanceLock.h"
#include "platform/KeyValueStore.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"
#include "platform/Platform.h"
#include "platform/Program.h"
#include "platform/SaveDialog.h"
#include "platform/ScreenSource.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"

#include <QImage>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

// A monitor at the origin whose pixels name their positions.
struct FakeScreen : ScreenSource {
    explicit FakeScreen(QSize size = QSize(1920, 1080)) : size_(size) {}
    QRect geometry() const override { return QRect(QPoint(0, 0), size_); }
    float scale() const override { return scale_; }
    QStringList names() const override { return {QStringLiteral("fake")}; }
    bool choose(const QString& which) override {
        if (which != kPrimary && which != kPointer && !names().contains(which))
            return false;
        chosen = which;
        return true;
    }
    QImage grab() override {
        ++grabs;
        if (!failureText.isEmpty())
            return {};
        if (!image.isNull())
            return image;
        return pattern(size_);
    }
    QString failure() const override { return failureText; }
    void showOver(QWidget& window) override {
        window.setGeometry(QRect(QPoint(0, 0), size_));
        window.show();
    }
    static QRgb patternPixel(int x, int y) {
        return qRgb(x % 251, y % 241, (x / 251 + 7 * (y / 241)) % 256);
    }
    static QImage pattern(QSize size) {
        QImage img(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < size.width(); ++x)
                row[x] = patternPixel(x, y);
        }
        return img;
    }

    QSize size_;
    float scale_ = 1;
    QString chosen = kPrimary;
    QImage image;        // when set, grab() returns it instead of the pattern
    QString failureText; // when set, grab() gives no picture: the desktop refused
    int grabs = 0;
};

struct FakePointer : MousePointer {
    void set(int v) override {
        value_ = v;
        history.push_back(v);
    }
    int value() const override { return value_; }
    int value_ = 0;
    std::vector<int> history;
};

struct FakeMessageBox : MessageBox {
    struct Shown {
        QString text, title;
    };
    void show(const QString& text, const QString& title, Icon) override {
        shown.push_back({text, title});
    }
    std::vector<Shown> shown;
};

struct FakeInstance : InstanceCheck {
    bool previousInstance() override { return running; }
    bool running = false;
};

struct FakeProgram : Program {
    void end() override { ++ended; }
    int ended = 0;
};

// Holds the picture as PNG bytes, as the real clipboard does.
struct FakeClipboard : Clipboard {
    void setPng(const QByteArray& png) override {
        image_ = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
        ours = true;
        ++sets;
    }
    QImage image() const override { return image_; }
    bool holdsOurs() const override { return ours; }
    bool setsWithoutWindow() const override { return withoutWindow; }
    void clear() override {
        ours = false;
        image_ = QImage();
        ++clears;
    }
    QImage image_;
    bool ours = false; // another program's copy: set image_ and leave this false
    bool withoutWindow = false;
    int sets = 0, clears = 0;
};

struct FakeSaveDialog : SaveDialog {
    std::optional<QString> ask(const SaveDialogRequest& request) override {
        requests.push_back(request);
        if (onAsk)
            onAsk(); // what happens while the real dialog runs its own event loop
        const QString a = answers.empty() ? QString() : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a.isNull() ? std::nullopt : std::optional(a);
    }
    std::deque<QString> answers; // in turn; a null QString (or none left) cancels
    std::vector<SaveDialogRequest> requests;
    std::function<void()> onAsk;
};

struct FakeShell : Shell {
    void openUrl(const QUrl& url) override { opened.push_back(url); }
    bool startProgram(const QString& path) override {
        started.push_back(path);
        return startSucceeds;
    }
    bool fileExists(const QString& path) const override { return existing.contains(path); }
    std::vector<QUrl> opened;
    QStringList started;
    QStringList existing;
    bool startSucceeds = true;
};

struct FakeTray : TrayIcon {
    void add(const QIcon&, const QString&) override { ++adds; }
    void remove() override {
        ++removes;
        if (onRemove)
            onRemove();
    }
    bool available() const override { return hasTray; }
    int adds = 0, removes = 0;
    bool hasTray = true;
    std::function<void()> onRemove;
};

struct FakeKeyValues : KeyValueStore {
    std::optional<Value> value(uint32_t root, const QString& subKey,
                               const QString& name) const override {
        const auto it = values.find({root, subKey, name});
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    void setText(const QString& subKey, const QString& name, const QByteArray& text) {
        values[{LocalMachine, subKey, name}] = Value{Text, text};
    }
    std::map<std::tuple<uint32_t, QString, QString>, Value> values;
};

struct FakePlatform {
    FakeScreen screen;
    FakePointer pointer;
    FakeMessageBox messageBox;
    FakeInstance instance;
    FakeProgram program;
    FakeClipboard clipboard;
    FakeSaveDialog saveDialog;
    FakeShell shell;
    explicit FakePlatform(QSize screenSize = QSize(1920, 1080)) : screen(screenSize) {}
    Platform platform() {
        return {&screen,  &pointer,   &messageBox, &instance,
                &program, &clipboard, &saveDialog, &shell};
    }
};
