// GIMP 2.10 file plug-in for device bitmaps: a load procedure found by the device
// header (so a device bitmap named .bmp opens here while a Windows bitmap still goes to
// GIMP's own BMP plug-in) and an export procedure with the program's palette options.
#include <libgimp/gimp.h>
#include <libgimp/gimpui.h>

#include <iterator>

#include "gimp/GimpOutcome.h"
#include "gimp/PluginNames.h"
#include "gimp/RleExportDialog.h"
#include "gimp/RleGimpLoad.h"
#include "gimp/RleGimpSave.h"

namespace {

using zorixgimp::GimpOutcome;
using zorixgimp::RleExportOptions;

// GIMP's parameter records take non-const texts.
GimpParamDef Param(GimpPDBArgType type, const char* name, const char* description) {
    return {type, const_cast<gchar*>(name), const_cast<gchar*>(description)};
}

// "RL" at offset 0 and the check value 0xF81F (bytes 1F F8) at offset 12; "&" joins the
// two tests. GIMP reads numbers big-endian, hence 0x1ff8.
constexpr char kMagic[] = "0&,string,RL,12,short,0x1ff8";

void RegisterLoad() {
    GimpParamDef args[] = {
        Param(GIMP_PDB_INT32, "run-mode",
              "The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1) }"),
        Param(GIMP_PDB_STRING, "filename", "The name of the file to load"),
        Param(GIMP_PDB_STRING, "raw-filename", "The name entered"),
    };
    GimpParamDef results[] = {Param(GIMP_PDB_IMAGE, "image", "Output image")};
    gimp_install_procedure(zorixgimp::kLoadProcedure, "Loads device RLE bitmaps",
                           "Opens a device bitmap as one RGBA layer with straight alpha.", "Zorix",
                           "Zorix", "2026", zorixgimp::kFormatName, nullptr, GIMP_PLUGIN,
                           std::size(args), std::size(results), args, results);
    gimp_register_file_handler_mime(zorixgimp::kLoadProcedure, zorixgimp::kMimeType);
    gimp_register_magic_load_handler(zorixgimp::kLoadProcedure, "bmp", "", kMagic);
}

void RegisterSave() {
    GimpParamDef args[] = {
        Param(GIMP_PDB_INT32, "run-mode",
              "The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1) }"),
        Param(GIMP_PDB_IMAGE, "image", "Input image"),
        Param(GIMP_PDB_DRAWABLE, "drawable", "Drawable to export"),
        Param(GIMP_PDB_STRING, "filename", "The name of the file to export the image in"),
        Param(GIMP_PDB_STRING, "raw-filename", "The name entered"),
        Param(GIMP_PDB_FLOAT, "accuracy", "Colour accuracy for palette merging, 90 to 100"),
        Param(GIMP_PDB_INT32, "max-palette", "Largest palette wanted, 0 to 9999 (0: no limit)"),
        Param(GIMP_PDB_INT32, "best", "Best-quality colour reduction { FALSE (0), TRUE (1) }"),
        Param(GIMP_PDB_INT32, "dither",
              "Dither with the best-quality reduction { FALSE (0), TRUE (1) }"),
    };
    // Device bitmaps are named .bmp like Windows bitmaps, so the export registers no
    // extension: GIMP keeps choosing its BMP export for .bmp names unless this type is
    // chosen in the export dialog.
    gimp_install_procedure(zorixgimp::kSaveProcedure, "Exports device RLE bitmaps",
                           "Writes the bytes zorix-cli convert --to rle writes for the same "
                           "pixels and palette options.",
                           "Zorix", "Zorix", "2026", zorixgimp::kFormatName,
                           "RGB*, GRAY*, INDEXED*", GIMP_PLUGIN, std::size(args), 0, args, nullptr);
    gimp_register_file_handler_mime(zorixgimp::kSaveProcedure, zorixgimp::kMimeType);
    gimp_register_save_handler(zorixgimp::kSaveProcedure, "", "");
}

void Query() {
    RegisterLoad();
    RegisterSave();
}

// The options a script passed, or a calling error naming the bad one.
GimpOutcome ArgumentOptions(gint nparams, const GimpParam* param, RleExportOptions& options) {
    if (nparams != 9) {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "file-zorix-rle-save takes 9 arguments");
    }
    const gdouble accuracy = param[5].data.d_float;
    if (!zorixgimp::IsValidAccuracy(accuracy)) {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "accuracy must be within 90 to 100");
    }
    if (!zorixgimp::IsValidMaxPalette(param[6].data.d_int32)) {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "max-palette must be within 0 to 9999");
    }
    if (!zorixgimp::IsValidFlag(param[7].data.d_int32) ||
        !zorixgimp::IsValidFlag(param[8].data.d_int32)) {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "best and dither must be 0 or 1");
    }
    options.accuracy = static_cast<float>(accuracy);
    options.maxPalette = param[6].data.d_int32;
    options.best = param[7].data.d_int32 == 1;
    options.dither = param[8].data.d_int32 == 1;
    return {};
}

// Interactive exports start from the program's stored options and ask; "export again"
// takes the last ones GIMP kept, or the stored ones.
GimpOutcome InteractiveOptions(GimpRunMode mode, RleExportOptions& options) {
    options = zorixgimp::ReadStoredOptions(zorixgimp::SettingsFilePath());
    if (mode == GIMP_RUN_WITH_LAST_VALS) {
        RleExportOptions last = options;
        gimp_get_data(zorixgimp::kLastValuesKey, &last);
        if (zorixgimp::IsValidAccuracy(last.accuracy) &&
            zorixgimp::IsValidMaxPalette(last.maxPalette)) {
            options = last;
        }
        return {};
    }
    if (!zorixgimp::RunExportDialog(options)) {
        return GimpOutcome::Failed(GIMP_PDB_CANCEL, {});
    }
    return {};
}

// Interactive exports first let GIMP flatten what the format cannot hold (layers),
// which may make a temporary image; it is deleted whatever happens next.
GimpOutcome ExportInteractively(GimpRunMode mode, gint32 image, gint32 drawable,
                                const char* fileName) {
    gimp_ui_init(zorixgimp::kBinaryName, FALSE);
    const GimpExportReturn exported =
        gimp_export_image(&image, &drawable, zorixgimp::kFormatName,
                          static_cast<GimpExportCapabilities>(
                              GIMP_EXPORT_CAN_HANDLE_RGB | GIMP_EXPORT_CAN_HANDLE_GRAY |
                              GIMP_EXPORT_CAN_HANDLE_INDEXED | GIMP_EXPORT_CAN_HANDLE_ALPHA));
    if (exported == GIMP_EXPORT_CANCEL) {
        return GimpOutcome::Failed(GIMP_PDB_CANCEL, {});
    }
    RleExportOptions options;
    GimpOutcome outcome = InteractiveOptions(mode, options);
    if (outcome.status == GIMP_PDB_SUCCESS) {
        outcome = zorixgimp::SaveDeviceBitmap(drawable, fileName, options);
    }
    if (exported == GIMP_EXPORT_EXPORT) {
        gimp_image_delete(image);
    }
    if (outcome.status == GIMP_PDB_SUCCESS) {
        gimp_set_data(zorixgimp::kLastValuesKey, &options, sizeof options);
    }
    return outcome;
}

GimpOutcome RunSave(gint nparams, const GimpParam* param) {
    if (nparams < 5) {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "file-zorix-rle-save takes 9 arguments");
    }
    const auto mode = static_cast<GimpRunMode>(param[0].data.d_int32);
    const char* fileName = param[3].data.d_string;
    if (fileName == nullptr || *fileName == '\0') {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "file-zorix-rle-save needs a file name");
    }
    if (mode != GIMP_RUN_NONINTERACTIVE) {
        return ExportInteractively(mode, param[1].data.d_image, param[2].data.d_drawable, fileName);
    }
    RleExportOptions options;
    const GimpOutcome outcome = ArgumentOptions(nparams, param, options);
    if (outcome.status != GIMP_PDB_SUCCESS) {
        return outcome;
    }
    return zorixgimp::SaveDeviceBitmap(param[2].data.d_drawable, fileName, options);
}

GimpOutcome RunLoad(gint nparams, const GimpParam* param) {
    if (nparams < 3) {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "file-zorix-rle-load takes 3 arguments");
    }
    const char* fileName = param[1].data.d_string;
    if (fileName == nullptr || *fileName == '\0') {
        return GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "file-zorix-rle-load needs a file name");
    }
    return zorixgimp::LoadDeviceBitmap(fileName);
}

void Run(const gchar* name, gint nparams, const GimpParam* param, gint* nreturn_vals,
         GimpParam** return_vals) {
    // GIMP reads the results after this returns; the plug-in ends right after.
    static GimpParam values[2];
    static std::string message;
    gegl_init(nullptr, nullptr);

    GimpOutcome outcome;
    if (g_strcmp0(name, zorixgimp::kLoadProcedure) == 0) {
        outcome = RunLoad(nparams, param);
    } else if (g_strcmp0(name, zorixgimp::kSaveProcedure) == 0) {
        outcome = RunSave(nparams, param);
    } else {
        outcome = GimpOutcome::Failed(GIMP_PDB_CALLING_ERROR, "unknown procedure");
    }

    *return_vals = values;
    *nreturn_vals = 1;
    values[0].type = GIMP_PDB_STATUS;
    values[0].data.d_status = outcome.status;
    if (outcome.status == GIMP_PDB_SUCCESS && outcome.image >= 0) {
        *nreturn_vals = 2;
        values[1].type = GIMP_PDB_IMAGE;
        values[1].data.d_image = outcome.image;
    } else if (outcome.status != GIMP_PDB_SUCCESS && !outcome.message.empty()) {
        message = outcome.message;
        *nreturn_vals = 2;
        values[1].type = GIMP_PDB_STRING;
        values[1].data.d_string = message.data();
    }
}

}  // namespace

const GimpPlugInInfo PLUG_IN_INFO = {nullptr, nullptr, Query, Run};

MAIN()
