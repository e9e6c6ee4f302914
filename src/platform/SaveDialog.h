#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// The Save dialog: what the program asks, and the file name that comes back.
struct SaveDialogRequest {
    QString title;
    QStringList filters;    // "description (pattern)" entries, in order
    int selectedFilter = 0; // 0-based index of the entry selected when the dialog opens
    QString defaultSuffix;  // appended when the user types a name without an extension
    QString initialDir;
};

class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    // The chosen file name, or nothing when the user cancelled.
    virtual std::optional<QString> ask(const SaveDialogRequest& request) = 0;
};
