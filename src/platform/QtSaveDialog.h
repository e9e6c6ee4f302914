#pragma once
#include "platform/SaveDialog.h"

// Qt's own (not the desktop's) file dialog in save mode: it replaces an existing file
// without asking, and the user sees each filter's description alone.
class QtSaveDialog final : public SaveDialog {
public:
    std::optional<QString> ask(const SaveDialogRequest& request) override;
};
