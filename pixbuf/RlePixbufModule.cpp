// gdk-pixbuf loader for device bitmaps (image/x-zorix-rle), found by the device header.
// It takes the data in pieces, asks the host for the size it wants as soon as the
// header is in, and hands over one finished picture of that size at the end.
#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf-io.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <new>

#include "pixbuf/RleStreamDecoder.h"

namespace {

struct LoadContext {
    GdkPixbufModuleSizeFunc sizeFunc = nullptr;
    GdkPixbufModulePreparedFunc preparedFunc = nullptr;
    GdkPixbufModuleUpdatedFunc updatedFunc = nullptr;
    gpointer userData = nullptr;
    zorixpixbuf::RleStreamDecoder decoder;
    bool sized = false;
    gint width = 0;
    gint height = 0;
};

gboolean SetError(GError** error, GdkPixbufError code, const std::string& reason) {
    g_set_error(error, GDK_PIXBUF_ERROR, code, "Device bitmap: %s", reason.c_str());
    return FALSE;
}

gpointer BeginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                   GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error) {
    auto* context = new (std::nothrow) LoadContext;
    if (context == nullptr) {
        SetError(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, "not enough memory");
        return nullptr;
    }
    context->sizeFunc = sizeFunc;
    context->preparedFunc = preparedFunc;
    context->updatedFunc = updatedFunc;
    context->userData = userData;
    return context;
}

// Once the header is in: the host may ask for another size; a size of 0 means it only
// wanted to learn the size and loading stops.
gboolean AgreeSize(LoadContext& context, GError** error) {
    context.width = context.decoder.Width();
    context.height = context.decoder.Height();
    context.sized = true;
    if (context.sizeFunc != nullptr) {
        context.sizeFunc(&context.width, &context.height, context.userData);
    }
    if (context.width <= 0 || context.height <= 0) {
        return SetError(error, GDK_PIXBUF_ERROR_FAILED, "the requested size is empty");
    }
    return TRUE;
}

gboolean LoadIncrement(gpointer data, const guchar* buffer, guint size, GError** error) {
    auto& context = *static_cast<LoadContext*>(data);
    if (!context.decoder.Append(buffer, size)) {
        return SetError(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, context.decoder.Reason());
    }
    if (!context.sized && context.decoder.HeaderRead()) {
        return AgreeSize(context, error);
    }
    return TRUE;
}

gboolean Finish(LoadContext& context, GError** error) {
    if (!context.sized) {
        return SetError(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE,
                        "the file ends inside the device bitmap's header");
    }
    if (context.width <= 0 || context.height <= 0) {
        return SetError(error, GDK_PIXBUF_ERROR_FAILED, "the requested size is empty");
    }
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, context.width, context.height);
    if (pixbuf == nullptr) {
        return SetError(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, "not enough memory");
    }
    if (!context.decoder.Decode(context.width, context.height, gdk_pixbuf_get_pixels(pixbuf),
                                static_cast<size_t>(gdk_pixbuf_get_rowstride(pixbuf)))) {
        g_object_unref(pixbuf);
        return SetError(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, context.decoder.Reason());
    }
    if (context.preparedFunc != nullptr) {
        context.preparedFunc(pixbuf, nullptr, context.userData);
    }
    if (context.updatedFunc != nullptr) {
        context.updatedFunc(pixbuf, 0, 0, context.width, context.height, context.userData);
    }
    g_object_unref(pixbuf);
    return TRUE;
}

gboolean StopLoad(gpointer data, GError** error) {
    auto* context = static_cast<LoadContext*>(data);
    const gboolean ok = Finish(*context, error);
    delete context;
    return ok;
}

// "RL" at offset 0 and the check value 0xF81F (bytes 1F F8) at offset 12.
GdkPixbufModulePattern kSignature[] = {
    {const_cast<char*>("RLxxxxxxxxxx\x1f\xf8"), const_cast<char*>("  xxxxxxxxxx  "), 100},
    {nullptr, nullptr, 0},
};
const gchar* kMimeTypes[] = {"image/x-zorix-rle", nullptr};
const gchar* kExtensions[] = {"bmp", nullptr};

}  // namespace

extern "C" {

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module);
G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info);

void fill_vtable(GdkPixbufModule* module) {
    module->begin_load = BeginLoad;
    module->stop_load = StopLoad;
    module->load_increment = LoadIncrement;
}

void fill_info(GdkPixbufFormat* info) {
    info->name = const_cast<gchar*>("zorix-rle");
    info->signature = kSignature;
    info->domain = nullptr;
    info->description = const_cast<gchar*>("Device RLE bitmap");
    info->mime_types = const_cast<gchar**>(kMimeTypes);
    info->extensions = const_cast<gchar**>(kExtensions);
    info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
    info->license = const_cast<gchar*>("MIT");
}

}  // extern "C"
