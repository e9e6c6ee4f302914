#include "output/ModSavePic.h"

#include "output/PictureEncoder.h"
#include "output/SafeFileWrite.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"

const QString ModSavePic::kErrorTitle = QStringLiteral("错误");

QString ModSavePic::errorMessage(const Failure& failure) {
    return QStringLiteral("在保存图片的过程中发生错误:\r\n\r\n错误号: %1\r\n错误描述: %2")
        .arg(failure.number)
        .arg(failure.description);
}

Status ModSavePic::SavePic(const QImage& picture, const QString& fileName, const QString& extension,
                           int32_t quality, int32_t colourDepth, int32_t compression,
                           MousePointer& pointer, MessageBox& messageBox) {
    pointer.set(PointerShape::Hourglass);
    const Result<QByteArray> encoded =
        encodePicture(picture, extension, quality, colourDepth, compression);
    const Status status =
        encoded.ok() ? SafeFileWrite::write(fileName, encoded.value()) : encoded.failure();
    pointer.set(PointerShape::Default);
    if (!status.ok())
        messageBox.show(errorMessage(status.failure()), kErrorTitle, MessageBox::Information);
    return status;
}
