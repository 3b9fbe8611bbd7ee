/* Round-screen extension of the toolkit: circle wrappers of scrollers and
 * genlists, bezel (rotary) events and the back key. On a desktop the bezel
 * is the mouse wheel and Page Up / Page Down, the back key Escape or the
 * hardware back key. */
#ifndef OSTRA_EFL_EXTENSION_H
#define OSTRA_EFL_EXTENSION_H

#include <Elementary.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    EEXT_CALLBACK_BACK = 0,
    EEXT_CALLBACK_MORE = 1,
    EEXT_CALLBACK_LAST = 2,
} Eext_Callback_Type;

typedef void (*Eext_Event_Cb)(void* data, Evas_Object* obj, void* event_info);

/* The back key goes to the most recently registered visible object. */
void eext_object_event_callback_add(Evas_Object* obj, Eext_Callback_Type type, Eext_Event_Cb func,
                                    void* data);
void* eext_object_event_callback_del(Evas_Object* obj, Eext_Callback_Type type, Eext_Event_Cb func);
/* Back-key callback for popups: dismisses the popup. */
void eext_popup_back_cb(void* data, Evas_Object* obj, void* event_info);

typedef enum {
    EEXT_ROTARY_DIRECTION_CLOCKWISE = 0,
    EEXT_ROTARY_DIRECTION_COUNTER_CLOCKWISE = 1,
} Eext_Rotary_Event_Direction;

typedef struct {
    Eext_Rotary_Event_Direction direction;
    unsigned int time_stamp;
} Eext_Rotary_Event_Info;

/* Return EINA_TRUE to consume the turn; EINA_FALSE lets the object's own
 * behaviour (a circle object scrolls its widget) run. */
typedef Eina_Bool (*Eext_Rotary_Event_Cb)(void* data, Evas_Object* obj,
                                          Eext_Rotary_Event_Info* info);

Eina_Bool eext_rotary_object_event_callback_add(Evas_Object* obj, Eext_Rotary_Event_Cb cb,
                                                void* data);
void* eext_rotary_object_event_callback_del(Evas_Object* obj, Eext_Rotary_Event_Cb cb);
/* Bezel turns go to the one activated object (the last one activated). */
void eext_rotary_object_event_activated_set(Evas_Object* obj, Eina_Bool activated);
Evas_Object* ostra_eext_rotary_activated_object_get(void);
/* Delivers a turn as if the bezel moved (tests, tools). */
void ostra_eext_rotary_feed(Eext_Rotary_Event_Direction direction);
/* Delivers the back key as if it was pressed. */
void ostra_eext_back_feed(void);

typedef struct _Eext_Circle_Surface Eext_Circle_Surface;

Eext_Circle_Surface* eext_circle_surface_conformant_add(Evas_Object* conform);
Eext_Circle_Surface* eext_circle_surface_layout_add(Evas_Object* layout);
void eext_circle_surface_del(Eext_Circle_Surface* surface);

/* A circle object wraps a scroller or genlist: it takes the bezel turns and
 * scrolls its widget; it is deleted with the widget. */
Evas_Object* eext_circle_object_scroller_add(Evas_Object* scroller, Eext_Circle_Surface* surface);
Evas_Object* eext_circle_object_genlist_add(Evas_Object* genlist, Eext_Circle_Surface* surface);
void eext_circle_object_scroller_policy_set(Evas_Object* obj, Elm_Scroller_Policy h,
                                            Elm_Scroller_Policy v);
void eext_circle_object_genlist_scroller_policy_set(Evas_Object* obj, Elm_Scroller_Policy h,
                                                    Elm_Scroller_Policy v);
void eext_circle_object_mirrored_set(Evas_Object* obj, Eina_Bool mirrored);
/* The widget a circle object wraps. */
Evas_Object* ostra_eext_circle_object_widget_get(Evas_Object* obj);

#ifdef __cplusplus
}
#endif

#endif
