// The real Save dialog as the save command asks for it: title, filter entries as the user
// sees them, the entry selected, the folder, no overwrite question, and the name returned.
#include "platform/QtSaveDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
// Run inspect on the dialog once it is open.
void whenOpen(std::function<void(QFileDialog*)> inspect) {
    QTimer::singleShot(0, [inspect] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                inspect(dialog);
                return;
            }
        QFAIL("no dialog open");
    });
}

SaveDialogRequest request(const QString& dir) {
    SaveDialogRequest r;
    r.title = QStringLiteral("保存为");
    r.filters = QStringList{QStringLiteral("JPEG文件(*.jpg;*.jpeg) (*.jpg)"),
                            QStringLiteral("PNG文件(*.PNG) (*.PNG)"),
                            QStringLiteral("所有文件(*.*) (*.*)")};
    r.selectedFilter = 0;
    r.defaultSuffix = QStringLiteral("PNG");
    r.initialDir = dir;
    return r;
}
} // namespace

class tst_QtSaveDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void asksAsRequestedAndReturnsTheName() {
        QTemporaryDir dir;
        QStringList shown;
        QString title, selected, suffix, folder;
        bool confirms = true, native = true;
        whenOpen([&](QFileDialog* d) {
            title = d->windowTitle();
            const auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; combo && i < combo->count(); ++i)
                shown << combo->itemText(i);
            selected = d->selectedNameFilter();
            suffix = d->defaultSuffix();
            folder = d->directory().absolutePath();
            confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
            native = !d->testOption(QFileDialog::DontUseNativeDialog);
            d->selectFile(dir.filePath(QStringLiteral("shot")));
            static_cast<QDialog*>(d)->accept(); // as the Save button does
        });
        QtSaveDialog dialog;
        SaveDialogRequest r = request(dir.path());
        r.selectedFilter = 1;
        const std::optional<QString> name = dialog.ask(r);
        QCOMPARE(title, QStringLiteral("保存为"));
        // The user sees each description alone, exactly.
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("JPEG文件(*.jpg;*.jpeg)"),
                              QStringLiteral("PNG文件(*.PNG)"), QStringLiteral("所有文件(*.*)")}));
        QCOMPARE(selected, QStringLiteral("PNG文件(*.PNG)"));
        QCOMPARE(suffix, QStringLiteral("PNG"));
        QCOMPARE(folder, QDir(dir.path()).absolutePath());
        QVERIFY(!confirms);
        QVERIFY(!native);
        QVERIFY(name.has_value());
        // A name typed without an extension gets the default one.
        QCOMPARE(*name, dir.filePath(QStringLiteral("shot.PNG")));
    }

    void cancelGivesNothing() {
        QTemporaryDir dir;
        whenOpen([](QFileDialog* d) { d->reject(); });
        QtSaveDialog dialog;
        QVERIFY(!dialog.ask(request(dir.path())).has_value());
    }
};

QTEST_MAIN(tst_QtSaveDialog)
#include "tst_QtSaveDialog.moc"
