#include "imageformats/RleBitmapPlugin.h"

#include "imageformats/RleBitmapHandler.h"

QImageIOPlugin::Capabilities RleBitmapPlugin::capabilities(QIODevice* device,
                                                           const QByteArray& format) const {
    const bool ownName = format == RleBitmapHandler::kFormat;
    if (!ownName && !format.isEmpty() && format != "bmp") {
        return {};
    }
    if (!device) {
        // Asked about the format alone: only the own name reads and writes.
        return ownName ? Capabilities(CanRead | CanWrite) : Capabilities();
    }
    Capabilities caps;
    if (device->isReadable() && RleBitmapHandler::CanRead(device)) {
        caps |= CanRead;
    }
    // Writing "bmp" stays with Qt's Windows bitmap writer.
    if (ownName && device->isWritable()) {
        caps |= CanWrite;
    }
    return caps;
}

QImageIOHandler* RleBitmapPlugin::create(QIODevice* device, const QByteArray& /*format*/) const {
    auto* handler = new RleBitmapHandler;
    handler->setDevice(device);
    handler->setFormat(RleBitmapHandler::kFormat);
    return handler;
}
