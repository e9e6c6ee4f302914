// Fuzz target for the snapshot reader: any bytes give a picture or a clear failure, never a
// crash, undefined behaviour or an allocation the bytes do not pay for; a picture read
// back writes to exactly the bytes it came from.
#include "output/ExcelPropertyBag.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<QImage> picture = ExcelPropertyBag().ReadP(bytes);
    if (picture.ok() && !picture.value().isNull()) {
        QByteArray again;
        ExcelPropertyBag().WriteP(again, picture.value());
        if (again != bytes)
            __builtin_trap();
    }
    return 0;
}
