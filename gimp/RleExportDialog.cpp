#include "gimp/RleExportDialog.h"

#include <libgimp/gimp.h>
#include <libgimp/gimpui.h>

#include "engine/PaletteLimits.h"
#include "gimp/PluginNames.h"

namespace zorixgimp {

namespace {

// The dialog's values while it is open; GTK's callbacks write into them.
struct DialogValues {
    gdouble accuracy;
    gint maxPalette;
    gint best;
    gint dither;
    GtkWidget* ditherToggle = nullptr;
};

void OnBestToggled(GtkToggleButton* button, gpointer data) {
    auto* values = static_cast<DialogValues*>(data);
    values->best = gtk_toggle_button_get_active(button) ? 1 : 0;
    // Dithering belongs to the best-quality reduction only.
    gtk_widget_set_sensitive(values->ditherToggle, values->best != 0);
}

GtkWidget* CheckButton(const char* label, gint* value) {
    GtkWidget* button = gtk_check_button_new_with_mnemonic(label);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), *value != 0);
    g_signal_connect(button, "toggled", G_CALLBACK(gimp_toggle_button_update), value);
    return button;
}

void AddOptionRows(GtkWidget* box, DialogValues& values) {
    GtkWidget* table = gtk_table_new(2, 3, FALSE);
    gtk_table_set_col_spacings(GTK_TABLE(table), 6);
    gtk_table_set_row_spacings(GTK_TABLE(table), 6);
    gtk_box_pack_start(GTK_BOX(box), table, FALSE, FALSE, 0);

    GtkObject* accuracy = gimp_scale_entry_new(
        GTK_TABLE(table), 0, 0, "Colour _accuracy (%):", 160, 6, values.accuracy,
        quenda::kMinColorAccuracy, quenda::kMaxColorAccuracy, 0.1, 1.0, 2, TRUE, 0, 0,
        "Colours at least this similar may be merged", nullptr);
    g_signal_connect(accuracy, "value-changed", G_CALLBACK(gimp_double_adjustment_update),
                     &values.accuracy);

    GtkObject* maxPalette = gimp_scale_entry_new(GTK_TABLE(table), 0, 1, "_Largest palette:", 160,
                                                 6, values.maxPalette, 0, quenda::kMaxPaletteLimit,
                                                 1, 10, 0, TRUE, 0, 0, "0 means no limit", nullptr);
    g_signal_connect(maxPalette, "value-changed", G_CALLBACK(gimp_int_adjustment_update),
                     &values.maxPalette);

    GtkWidget* best = gtk_check_button_new_with_mnemonic("_Best-quality colour reduction");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(best), values.best != 0);
    gtk_box_pack_start(GTK_BOX(box), best, FALSE, FALSE, 0);

    values.ditherToggle = CheckButton("_Dither", &values.dither);
    gtk_widget_set_sensitive(values.ditherToggle, values.best != 0);
    gtk_box_pack_start(GTK_BOX(box), values.ditherToggle, FALSE, FALSE, 0);
    g_signal_connect(best, "toggled", G_CALLBACK(OnBestToggled), &values);
}

}  // namespace

bool RunExportDialog(RleExportOptions& options) {
    gimp_ui_init(kBinaryName, FALSE);
    DialogValues values{options.accuracy, options.maxPalette, options.best ? 1 : 0,
                        options.dither ? 1 : 0};
    GtkWidget* dialog = gimp_export_dialog_new(kFormatName, kBinaryName, kSaveProcedure);
    GtkWidget* box = gtk_vbox_new(FALSE, 12);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);
    gtk_box_pack_start(GTK_BOX(gimp_export_dialog_get_content_area(dialog)), box, TRUE, TRUE, 0);
    AddOptionRows(box, values);
    gtk_widget_show_all(dialog);
    const bool accepted = gimp_dialog_run(GIMP_DIALOG(dialog)) == GTK_RESPONSE_OK;
    gtk_widget_destroy(dialog);
    if (accepted) {
        options.accuracy = static_cast<float>(values.accuracy);
        options.maxPalette = values.maxPalette;
        options.best = values.best != 0;
        options.dither = options.best && values.dither != 0;
    }
    return accepted;
}

}  // namespace zorixgimp
