#include "platform/SystemKeyValues.h"

#include <QStandardPaths>

SystemKeyValues::SystemKeyValues(QStringList tools) : tools_(std::move(tools)) {}

QStringList SystemKeyValues::defaultTools() {
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

QString SystemKeyValues::sysInfoProgram() const {
    for (const QString& tool : tools_) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

std::optional<KeyValueStore::Value> SystemKeyValues::value(uint32_t root, const QString& subKey,
                                                           const QString& name) const {
    if (root != LocalMachine || subKey.compare(SystemKeys::kSysInfoKey, Qt::CaseInsensitive) != 0 ||
        name.compare(SystemKeys::kSysInfoValue, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // Looked up afresh each time: a tool installed meanwhile is found.
    const QString program = sysInfoProgram();
    if (program.isEmpty())
        return std::nullopt;
    // Stored the way text values are: with their terminating zero.
    return Value{Text, program.toLocal8Bit() + '\0'};
}
