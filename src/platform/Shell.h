#pragma once
#include <QString>
#include <QUrl>

// Opening web pages and starting other programs.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void openUrl(const QUrl& url) = 0;
    // Start the program at path, detached; false when it could not be started.
    virtual bool startProgram(const QString& path) = 0;
    virtual bool fileExists(const QString& path) const = 0;
};
