// The system's key-value store names the first installed system-information tool.
#include "platform/SystemKeyValues.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSystemKeyValues : public QObject {
    Q_OBJECT
    QTemporaryDir bin_;
    QByteArray oldPath_;

    void install(const QString& name) {
        QFile f(bin_.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

private Q_SLOTS:
    void initTestCase() {
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin_.path()));
    }
    void cleanupTestCase() { qputenv("PATH", oldPath_); }

    void noToolNoValue() {
        SystemKeyValues keys({"kivo-test-none"});
        QVERIFY(!keys.value(KeyValueStore::LocalMachine, SystemKeys::kSysInfoKey,
                            QStringLiteral("PATH")));
    }

    void firstInstalledToolInOrder() {
        install("tool-b");
        install("tool-c");
        SystemKeyValues keys({"tool-a", "tool-b", "tool-c"});
        const auto v = keys.value(KeyValueStore::LocalMachine, SystemKeys::kSysInfoKey,
                                  QStringLiteral("PATH"));
        QVERIFY(v);
        QCOMPARE(v->type, uint32_t(KeyValueStore::Text));
        QCOMPARE(v->data, QFile::encodeName(bin_.filePath("tool-b")) + '\0');
    }

    void onlyThatKeyAndValue_data() {
        QTest::addColumn<uint>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("other value")
            << uint(KeyValueStore::LocalMachine) << SystemKeys::kSysInfoKey << "MSINFO";
        QTest::newRow("fallback key")
            << uint(KeyValueStore::LocalMachine) << "SOFTWARE\\Microsoft\\Shared Tools Location"
            << "MSINFO";
        QTest::newRow("other root") << 0x80000001u << SystemKeys::kSysInfoKey << "PATH";
    }
    void onlyThatKeyAndValue() {
        QFETCH(uint, root);
        QFETCH(QString, key);
        QFETCH(QString, name);
        install("tool-b");
        SystemKeyValues keys({"tool-b"});
        QVERIFY(!keys.value(root, key, name));
    }
};

QTEST_MAIN(TestSystemKeyValues)
#include "tst_system_key_values.moc"
