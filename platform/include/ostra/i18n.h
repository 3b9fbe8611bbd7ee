/* Texts of the running program, looked up by message id in its gettext
 * catalogue (text domain: the package id; catalogues under the resource
 * directory's "locale"). */
#ifndef OSTRA_I18N_H
#define OSTRA_I18N_H

#ifdef __cplusplus
extern "C" {
#endif

/* The text for msgid in the current language, or msgid itself when the
 * catalogue has none. The result stays valid for the life of the process. */
const char* i18n_get_text(const char* msgid);

#ifdef __cplusplus
}
#endif

#endif
