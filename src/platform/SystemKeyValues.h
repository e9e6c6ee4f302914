#pragma once
#include "platform/KeyValueStore.h"

#include <QStringList>

// The values this system offers. The system-information key names the first installed
// program of a list of well-known system-information tools; no other key exists.
class SystemKeyValues final : public KeyValueStore {
public:
    // tools: program names looked up on PATH, in order of preference.
    explicit SystemKeyValues(QStringList tools = defaultTools());
    static QStringList defaultTools();

    std::optional<Value> value(uint32_t root, const QString& subKey,
                               const QString& name) const override;

private:
    QString sysInfoProgram() const;
    QStringList tools_;
};
