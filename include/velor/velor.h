/* libvelor: writes the KALMIRA-5K-2 firmware from another program.
 *
 * C99, no C++ types across the boundary; every string is UTF-8 and NUL-terminated. Every
 * function returns a velor_status (VELOR_OK or a negative error), never throws and never exits.
 * The library keeps no process-wide state: open as many sessions as you like, on as many threads.
 *
 * Threads: a session's operations (identify, write, reset) run on the thread that calls them and
 * return when the operation has ended; the event callback is called on that same thread, in
 * order, before the call returns. velor_session_stop may be called from any thread. One operation
 * at a time per session: a second call while one runs returns VELOR_E_BUSY (from the session's
 * own callback: VELOR_E_REENTRANT). Different sessions never wait for each other.
 *
 * ABI: functions are only added; the enumerations' values and the structs never change. */
#ifndef VELOR_VELOR_H
#define VELOR_VELOR_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#if defined(VELOR_BUILDING_LIBRARY)
#define VELOR_API __declspec(dllexport)
#else
#define VELOR_API __declspec(dllimport)
#endif
#else
#define VELOR_API __attribute__((visibility("default")))
#endif

typedef enum velor_status {
    VELOR_OK = 0,
    VELOR_E_NULL = -1,          /* a required pointer was NULL */
    VELOR_E_CLOSED = -2,        /* the session was closed */
    VELOR_E_BAD_HANDLE = -3,    /* not a live handle (caught for freed handles in debug builds) */
    VELOR_E_BUSY = -4,          /* another operation runs on this session */
    VELOR_E_REENTRANT = -5,     /* called from this session's own event callback */
    VELOR_E_NOT_UTF8 = -6,      /* a string is not valid UTF-8 */
    VELOR_E_INVALID = -7,       /* an argument out of range (a baud rate the device lacks) */
    VELOR_E_IDLE = -8,          /* a stop while nothing runs: nothing to stop */
    VELOR_E_FILE = -9,          /* the firmware file cannot be read (message says why) */
    VELOR_E_REFUSED_TEXT = -10, /* the firmware text was refused (message and line number) */
    VELOR_E_PORT_LIST = -11,    /* the port list cannot be read */
    VELOR_E_RANGE = -12,        /* an index past the end of a list */
    VELOR_E_NO_DEVICE = -13,    /* nothing identified yet on this session */
    VELOR_E_INTERNAL = -99      /* an unexpected failure inside the library */
} velor_status;

/* How an operation ended: what a program branches on. */
typedef enum velor_outcome_kind {
    VELOR_OUTCOME_NONE = -1, /* no operation has ended yet */
    VELOR_OUTCOME_DONE = 0,
    VELOR_OUTCOME_REFUSED = 1,    /* a gate of identification or of the release said no */
    VELOR_OUTCOME_FAILED = 2,     /* the failure rule condemned the write */
    VELOR_OUTCOME_STOPPED = 3,    /* velor_session_stop */
    VELOR_OUTCOME_PORT_ERROR = 4, /* the port failed */
    VELOR_OUTCOME_ERROR = 5       /* another error of the system */
} velor_outcome_kind;

/* Why, more finely; the words of velor_reason_name are those of velor-flash --json. */
typedef enum velor_reason {
    VELOR_REASON_DONE = 0,
    VELOR_REASON_NO_REPLY = 1,
    VELOR_REASON_UNKNOWN_DEVICE = 2,
    VELOR_REASON_SAME_RELEASE = 3,
    VELOR_REASON_NEWER_RELEASE = 4,
    VELOR_REASON_UNKNOWN_RELEASE = 5,
    VELOR_REASON_GARBLED_DESCRIPTION = 6,
    VELOR_REASON_NO_IMAGE = 7,
    VELOR_REASON_FAILURE_RULE = 8,
    VELOR_REASON_STOPPED = 9,
    VELOR_REASON_PORT_BUSY = 10,
    VELOR_REASON_PORT_MISSING = 11,
    VELOR_REASON_PORT_LOST = 12,
    VELOR_REASON_ERROR = 13
} velor_reason;

typedef struct velor_outcome {
    int kind;            /* velor_outcome_kind */
    int reason;          /* velor_reason */
    int port_message;    /* the port error's message number 1..15, else 0 */
    int os_error;        /* the system's error code of a port error, where it gave one */
    int64_t bytes;       /* written and programmed by the last write */
    int64_t bytes_total; /* to write */
    int64_t failed_attempts;
    int erase_delay, write_delay, program_delay; /* the calibration the write ended with */
} velor_outcome;

typedef struct velor_device {
    const char* bootloader_version;
    int64_t pages, blocks_per_page, block_size;
    const char* description; /* as the window shows it, lines separated by CR LF */
} velor_device;

typedef enum velor_event_type {
    VELOR_EVENT_STARTED = 0,
    VELOR_EVENT_IDENTIFIED = 1, /* text: the description */
    VELOR_EVENT_PROGRESS = 2,
    VELOR_EVENT_ATTEMPT = 3, /* an attempt of erase (0), write (1) or program (2) */
    VELOR_EVENT_CALIBRATION = 4,
    VELOR_EVENT_ENDED = 5 /* kind, reason; text: the system's message */
} velor_event_type;

typedef struct velor_event {
    int type; /* velor_event_type */
    int percent;
    int64_t pages_done, pages, bytes, bytes_total;
    int attempt_command; /* 0 erase, 1 write, 2 program */
    int attempt_verdict; /* 0 accepted, 1 refused, 2 no reply */
    int64_t page, block; /* of the attempt: page 0-based, block 1-based (0 for an erase) */
    int erase_delay, write_delay, program_delay;
    int64_t failed_attempts;
    int kind, reason; /* of VELOR_EVENT_ENDED */
    const char* text; /* valid during the call only; never NULL */
} velor_event;

/* Called on the thread that runs the operation. It may call velor_session_stop; any other call
 * on the same session returns VELOR_E_REENTRANT. A C++ exception escaping it is caught and
 * stops the write at its next safe point. */
typedef void (*velor_event_fn)(const velor_event* event, void* user);

typedef struct velor_image velor_image;
typedef struct velor_session velor_session;
typedef struct velor_port_list velor_port_list;

/* "1.0.0"; never NULL. */
VELOR_API const char* velor_version(void);
/* A short English text for a status; never NULL. */
VELOR_API const char* velor_status_text(int status);
/* "done", "refused", "failed", "stopped", "port-error", "error"; "none" for -1. */
VELOR_API const char* velor_outcome_name(int kind);
/* "done", "no-reply", "unknown-device", ... as velor-flash --json names them. */
VELOR_API const char* velor_reason_name(int reason);

/* The serial ports present now; free with velor_port_list_free. */
VELOR_API int velor_ports(velor_port_list** out);
VELOR_API size_t velor_port_list_count(const velor_port_list* list);
VELOR_API int velor_port_list_get(const velor_port_list* list, size_t index, const char** name,
                                  const char** description);
VELOR_API void velor_port_list_free(velor_port_list* list);

/* Loads an Intel HEX file as the window does. On VELOR_E_FILE or VELOR_E_REFUSED_TEXT, *out is
 * an image handle that holds only the message (velor_image_message) and the refused line
 * (velor_image_line); free it all the same. */
VELOR_API int velor_image_load(const char* path, velor_image** out);
/* The same from text in memory (size bytes; need not be NUL-terminated). */
VELOR_API int velor_image_load_text(const char* text, size_t size, velor_image** out);
/* The release the library carries. */
VELOR_API int velor_image_embedded(velor_image** out);
/* 64 lower-case hex digits of the image's bytes (those `velor-flash check --image-out` writes). */
VELOR_API const char* velor_image_sha256(const velor_image* image);
/* Bytes from address 0 to the last byte a record set; 0 for a refused load. */
VELOR_API int64_t velor_image_size(const velor_image* image);
/* The refusal's text ("" when loaded). */
VELOR_API const char* velor_image_message(const velor_image* image);
/* The 1-based number of the refused line; 0 when no line was refused. */
VELOR_API int64_t velor_image_line(const velor_image* image);
/* 1 when the image can be written. */
VELOR_API int velor_image_ok(const velor_image* image);
VELOR_API void velor_image_free(velor_image* image);

/* A session on a port ("/dev/ttyUSB0", "COM3") at a baud rate of the device's list (115200 when
 * 0). The port is opened by each operation and closed at its end. */
VELOR_API int velor_session_open(const char* port, uint32_t baud, velor_session** out);
/* Sets the callback of the next operations (NULL: none). Not while an operation runs. */
VELOR_API int velor_session_set_events(velor_session* session, velor_event_fn callback, void* user);
/* Identifies the device; on VELOR_OK the outcome tells whether one answered. */
VELOR_API int velor_session_identify(velor_session* session);
/* The device the last identify or write identified (strings valid until the next operation). */
VELOR_API int velor_session_device(const velor_session* session, velor_device* out);
/* Writes image with the release gate, calibration and failure rule of the window. VELOR_OK means
 * the write ran to an outcome (done, refused, failed, stopped, a port error). */
VELOR_API int velor_session_write(velor_session* session, const velor_image* image);
/* Resets the device. */
VELOR_API int velor_session_reset(velor_session* session);
/* Asks the running operation to stop before its next command. Any thread. */
VELOR_API int velor_session_stop(velor_session* session);
VELOR_API int velor_session_outcome(const velor_session* session, velor_outcome* out);
/* The system's message of the last outcome (valid until the next operation); never NULL. */
VELOR_API const char* velor_session_message(const velor_session* session);
/* Ends the session's use; later operations return VELOR_E_CLOSED. */
VELOR_API int velor_session_close(velor_session* session);
/* Frees the session (closing it first); NULL is ignored. Not while an operation runs. */
VELOR_API int velor_session_free(velor_session* session);

#ifdef __cplusplus
}
#endif

#endif /* VELOR_VELOR_H */
