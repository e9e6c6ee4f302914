#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// A small store of system values under keys (the way the system-information tool is found).
// Values are raw bytes with a type: text values are 8-bit text that may end in a zero byte,
// number values are 32-bit little-endian.
class KeyValueStore {
public:
    enum Root : uint32_t { LocalMachine = 0x80000002u };
    enum Type : uint32_t { Text = 1, Number = 4 };
    struct Value {
        uint32_t type = Text;
        QByteArray data;
    };
    // The value under the key, or nothing when the key or the value is missing.
    virtual std::optional<Value> value(uint32_t root, const QString& subKey,
                                       const QString& name) const = 0;
    virtual ~KeyValueStore() = default;
};

// The keys under which the system-information tool is found: its path, or the folder that
// holds it.
namespace SystemKeys {
inline const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kSysInfoValue = QStringLiteral("PATH");
inline const QString kSysInfoLocKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString kSysInfoLocValue = QStringLiteral("MSINFO");
} // namespace SystemKeys
