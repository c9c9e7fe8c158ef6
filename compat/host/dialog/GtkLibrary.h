// GTK 3, opened when the first native window is shown rather than linked: most runs never show one,
// and linking the toolkit makes every start load it and the dozens of libraries it needs. Internal to
// the host layer; only the GTK presenter (and its message box) calls through it.
#pragma once

// The toolkit's casts stay plain casts: a checked cast would call the library's type functions.
#ifndef G_DISABLE_CAST_CHECKS
#define G_DISABLE_CAST_CHECKS
#endif
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace compat::host {

// Every toolkit function the presenter calls.
#define QUARRY_GTK_FUNCTIONS(X) \
    X(g_main_context_default) \
    X(g_main_context_iteration) \
    X(g_main_context_wakeup) \
    X(g_object_get_data) \
    X(g_object_set_data) \
    X(g_object_unref) \
    X(g_signal_connect_data) \
    X(g_source_attach) \
    X(g_source_destroy) \
    X(g_source_set_callback) \
    X(g_source_unref) \
    X(g_timeout_source_new) \
    X(g_type_check_instance_is_a) \
    X(g_utf8_get_char_validated) \
    X(gdk_display_flush) \
    X(gdk_display_get_default) \
    X(gdk_screen_get_default) \
    X(gdk_window_focus) \
    X(gdk_window_get_origin) \
    X(gdk_window_set_transient_for) \
    X(gdk_x11_display_get_type) \
    X(gdk_x11_window_foreign_new_for_display) \
    X(gdk_x11_window_get_type) \
    X(gdk_x11_window_get_xid) \
    X(gtk_button_new_with_label) \
    X(gtk_button_set_label) \
    X(gtk_container_add) \
    X(gtk_css_provider_load_from_data) \
    X(gtk_css_provider_new) \
    X(gtk_dialog_add_button) \
    X(gtk_dialog_get_widget_for_response) \
    X(gtk_dialog_run) \
    X(gtk_dialog_set_default_response) \
    X(gtk_disable_setlocale) \
    X(gtk_entry_get_text) \
    X(gtk_entry_new) \
    X(gtk_entry_set_text) \
    X(gtk_fixed_move) \
    X(gtk_fixed_new) \
    X(gtk_fixed_put) \
    X(gtk_init_check) \
    X(gtk_label_new) \
    X(gtk_label_set_attributes) \
    X(gtk_label_set_line_wrap) \
    X(gtk_label_set_line_wrap_mode) \
    X(gtk_label_set_text) \
    X(gtk_label_set_xalign) \
    X(gtk_label_set_yalign) \
    X(gtk_message_dialog_new) \
    X(gtk_orientable_set_orientation) \
    X(gtk_separator_new) \
    X(gtk_spinner_new) \
    X(gtk_spinner_start) \
    X(gtk_spinner_stop) \
    X(gtk_statusbar_get_context_id) \
    X(gtk_statusbar_new) \
    X(gtk_statusbar_push) \
    X(gtk_statusbar_remove_all) \
    X(gtk_style_context_add_provider_for_screen) \
    X(gtk_widget_destroy) \
    X(gtk_widget_get_allocated_height) \
    X(gtk_widget_get_allocated_width) \
    X(gtk_widget_get_allocation) \
    X(gtk_widget_get_can_focus) \
    X(gtk_widget_get_mapped) \
    X(gtk_widget_get_preferred_size) \
    X(gtk_widget_get_window) \
    X(gtk_widget_grab_default) \
    X(gtk_widget_grab_focus) \
    X(gtk_widget_realize) \
    X(gtk_widget_set_can_default) \
    X(gtk_widget_set_sensitive) \
    X(gtk_widget_set_size_request) \
    X(gtk_widget_set_visible) \
    X(gtk_widget_show) \
    X(gtk_widget_translate_coordinates) \
    X(gtk_window_deiconify) \
    X(gtk_window_get_default_widget) \
    X(gtk_window_get_focus) \
    X(gtk_window_iconify) \
    X(gtk_window_move) \
    X(gtk_window_new) \
    X(gtk_window_present) \
    X(gtk_window_set_default) \
    X(gtk_window_set_keep_above) \
    X(gtk_window_set_resizable) \
    X(gtk_window_set_title) \
    X(pango_attr_list_insert) \
    X(pango_attr_list_new) \
    X(pango_attr_list_unref) \
    X(pango_attr_size_new_absolute) \
    X(pango_attr_weight_new)

struct GtkLibrary {
#define QUARRY_GTK_MEMBER(name) decltype(&::name) name = nullptr;
    QUARRY_GTK_FUNCTIONS(QUARRY_GTK_MEMBER)
#undef QUARRY_GTK_MEMBER
};

// The toolkit's functions, opened on the first call; null when the library or one of its functions
// is missing, which the presenter takes like a machine without a display.
const GtkLibrary* openGtkLibrary();
// The table opened before; only for callers that know it opened.
const GtkLibrary& gtkLibrary();

} // namespace compat::host
