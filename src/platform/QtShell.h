#pragma once
#include "platform/Shell.h"

// Web pages in the user's default browser; programs started detached.
class QtShell final : public Shell {
public:
    void openUrl(const QUrl& url) override;
    bool startProgram(const QString& path) override;
    bool fileExists(const QString& path) const override;
};
