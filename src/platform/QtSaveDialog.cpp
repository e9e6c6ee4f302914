#include "platform/QtSaveDialog.h"

#include <QApplication>
#include <QFileDialog>

std::optional<QString> QtSaveDialog::ask(const SaveDialogRequest& request) {
    // A child of the window in front: on Wayland a window of its own would open behind a
    // full-screen one, and nothing can raise it.
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setNameFilters(request.filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.selectedFilter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}
