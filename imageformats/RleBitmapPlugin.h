#pragma once

#include <QImageIOPlugin>

// Device bitmaps for every Qt program. The plugin answers to its own format name
// "rlebmp" and also to "bmp", because these files carry the ".bmp" extension: for a
// ".bmp" name Qt asks the plugins that list the suffix before its own BMP handler,
// and this plugin then claims only files whose content is a device bitmap.
class RleBitmapPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "rlebmp.json")

  public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};
