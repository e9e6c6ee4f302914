#pragma once
#include <QString>

// Modal message boxes with one OK button.
class MessageBox {
public:
    enum Icon : int {
        NoIcon = 0,
        Critical = 16,
        Question = 32,
        Exclamation = 48,
        Information = 64
    };
    virtual ~MessageBox() = default;
    virtual void show(const QString& text, const QString& title, Icon icon) = 0;
};

class QtMessageBox final : public MessageBox {
public:
    void show(const QString& text, const QString& title, Icon icon) override;
};
