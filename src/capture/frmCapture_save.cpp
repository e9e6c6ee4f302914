// The save command: ask for a file name, write the area on the clipboard in the format its
// extension names.
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"
#include "output/ModSavePic.h"
#include "output/SaveFolder.h"
#include "platform/Clipboard.h"
#include "platform/SaveDialog.h"

namespace {
struct FilterEntry {
    const char* description;
    const char* pattern;
};
// In dialog order; the first (JPEG) entry is selected when the dialog opens.
const FilterEntry kFilters[] = {
    {"JPEG文件(*.jpg;*.jpeg)", "*.jpg"}, {"PNG文件(*.PNG)", "*.PNG"},
    {"位图文件(*.bmp)", "*.bmp"},        {"GIF文件(*.gif)", "*.gif"},
    {"TIFF文件(*.TIFF)", "*.tiff"},      {"所有文件(*.*)", "*.*"},
};
} // namespace

void frmCapture::CutdSave() {
    SaveDialogRequest request;
    request.title = QStringLiteral("保存为");
    for (const FilterEntry& f : kFilters)
        request.filters << QStringLiteral("%1 (%2)").arg(QString::fromUtf8(f.description),
                                                         QString::fromUtf8(f.pattern));
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("PNG");
    request.initialDir = saveStartFolder();

    ModalScope modal(*this);
    const std::optional<QString> answer = platform_.saveDialog->ask(request);
    if (!answer)
        return; // cancelled: the area stays on the clipboard

    QString fileName = *answer;
    if (const qsizetype nul = fileName.indexOf(QChar(0)); nul >= 0)
        fileName.truncate(nul);
    // The format follows the typed extension alone, whichever filter was selected.
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? fileName : fileName.mid(dot + 1);

    // The area grabbed when the save began: whatever another program put on the clipboard
    // while the dialog was open is not the user's capture.
    const Status saved = ModSavePic::SavePic(grabbed_, fileName, extension, kivo::kJpegQuality,
                                             kivo::kTiffColourDepth, kivo::kTiffNoCompression,
                                             *platform_.pointer, *platform_.messageBox);
    // After a failure the capture is gone too: the clipboard keeps the user's picture. After
    // a save the clipboard is emptied, unless it holds another program's data by now.
    if (saved.ok() && platform_.clipboard->holdsOurs())
        platform_.clipboard->clear();
}
