// The gdk-pixbuf loader's incremental interface as a host drives it: random bytes in
// pieces of random sizes, with a size request or without one. A loader that accepts
// the data must hand over a picture of exactly the agreed size.
#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf-io.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" void fill_vtable(GdkPixbufModule* module);

namespace {

// Pictures larger than this are asked for at a smaller size, as any viewer would.
constexpr int64_t kLargestUnrequested = 1 << 22;

struct Host {
    gint requestWidth = 0;  // 0: take the picture's own size
    gint requestHeight = 0;
    gint agreedWidth = 0;
    gint agreedHeight = 0;
    bool prepared = false;
};

void SizeFunc(gint* width, gint* height, gpointer data) {
    auto* host = static_cast<Host*>(data);
    if (host->requestWidth > 0) {
        *width = host->requestWidth;
        *height = host->requestHeight;
    } else if (int64_t{*width} * *height > kLargestUnrequested) {
        *width = std::min(*width, 512);
        *height = std::min(*height, 512);
    }
    host->agreedWidth = *width;
    host->agreedHeight = *height;
}

void Prepared(GdkPixbuf* pixbuf, GdkPixbufAnimation*, gpointer data) {
    auto* host = static_cast<Host*>(data);
    host->prepared = true;
    if (gdk_pixbuf_get_width(pixbuf) != host->agreedWidth ||
        gdk_pixbuf_get_height(pixbuf) != host->agreedHeight) {
        std::abort();
    }
}

void Updated(GdkPixbuf*, int, int, int, int, gpointer) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    Host host;
    if (data[0] & 1) {
        host.requestWidth = 1 + data[1] % 96;
        host.requestHeight = 1 + data[2] % 96;
    }
    uint32_t pieces = data[3] | (uint32_t{data[0]} << 8);
    data += 4;
    size -= 4;

    GdkPixbufModule module{};
    fill_vtable(&module);
    GError* error = nullptr;
    gpointer context = module.begin_load(SizeFunc, Prepared, Updated, &host, &error);
    if (context == nullptr) {
        g_clear_error(&error);
        return 0;
    }
    bool accepted = true;
    size_t at = 0;
    while (accepted && at < size) {
        pieces = pieces * 1103515245u + 12345u;
        const size_t piece = std::min<size_t>(size - at, 1 + (pieces >> 16) % 97);
        accepted = module.load_increment(context, data + at, static_cast<guint>(piece), &error);
        at += piece;
    }
    g_clear_error(&error);
    const bool finished = module.stop_load(context, &error);
    g_clear_error(&error);
    if (finished && !host.prepared) {
        std::abort();
    }
    return 0;
}
