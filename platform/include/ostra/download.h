/* Downloads of one URL into a file, on libcurl in a worker thread. States
 * and progress are reported on the GLib main context. A transfer that fails,
 * is cut short or answers other than 200 ends in DOWNLOAD_STATE_FAILED and
 * leaves no file behind. */
#ifndef OSTRA_DOWNLOAD_H
#define OSTRA_DOWNLOAD_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    DOWNLOAD_STATE_NONE = 0,
    DOWNLOAD_STATE_READY = 1,
    DOWNLOAD_STATE_QUEUED = 2,
    DOWNLOAD_STATE_DOWNLOADING = 3,
    DOWNLOAD_STATE_PAUSED = 4,
    DOWNLOAD_STATE_COMPLETED = 5,
    DOWNLOAD_STATE_FAILED = 6,
    DOWNLOAD_STATE_CANCELED = 7,
} download_state_e;

typedef enum {
    DOWNLOAD_ERROR_NONE = 0,
    DOWNLOAD_ERROR_IO_ERROR = -5,
    DOWNLOAD_ERROR_OUT_OF_MEMORY = -12,
    DOWNLOAD_ERROR_INVALID_PARAMETER = -22,
    DOWNLOAD_ERROR_INVALID_STATE = -0x02990001,
    DOWNLOAD_ERROR_ID_NOT_FOUND = -0x02990002,
    DOWNLOAD_ERROR_INVALID_URL = -0x02990003,
} download_error_e;

typedef void (*download_state_changed_cb)(int download_id, download_state_e state, void* user_data);
typedef void (*download_progress_cb)(int download_id, unsigned long long received, void* user_data);

int download_create(int* download_id);
/* Stops a running transfer first; no callback fires afterwards. */
int download_destroy(int download_id);
int download_set_url(int download_id, const char* url);
/* A directory; the default is the app's data directory. */
int download_set_destination(int download_id, const char* path);
/* The default is the last segment of the URL's path. */
int download_set_file_name(int download_id, const char* file_name);
int download_set_state_changed_cb(int download_id, download_state_changed_cb callback,
                                  void* user_data);
int download_unset_state_changed_cb(int download_id);
int download_set_progress_cb(int download_id, download_progress_cb callback, void* user_data);
int download_unset_progress_cb(int download_id);
int download_start(int download_id);
int download_get_state(int download_id, download_state_e* state);

#ifdef __cplusplus
}
#endif

#endif
