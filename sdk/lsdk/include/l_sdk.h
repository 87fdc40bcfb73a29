/*
 * l_sdk: the network microscope camera library, C interface.
 *
 * Every call returns an int32_t status, L_SDK_OK (0) on success. Texts passed in and out
 * are NUL-terminated 8-bit strings; commands and answers are JSON texts. A text handed
 * out through a char ** belongs to the caller, who releases it with l_sdk_free.
 *
 * Decoded pictures are handed out as packed l_sdk_md_data blocks (64 bytes, no padding),
 * released with l_sdk_dec_free_md_data; their layout is checked at the end of this file.
 */
#ifndef L_SDK_H
#define L_SDK_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(L_SDK_BUILDING_LIBRARY)
#define L_SDK_API __declspec(dllexport)
#else
#define L_SDK_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define L_SDK_API __attribute__((visibility("default")))
#else
#define L_SDK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Status codes ---------------------------------------------------------------- */

#define L_SDK_OK 0
#define L_SDK_ERR_FAILED 1          /* local failure or unusable answer (a camera's non-zero code is L_SDK_OK) */
#define L_SDK_ERR_UNREACHABLE 2     /* the camera did not answer (callers back off) */
#define L_SDK_ERR_INVALID_ARG 3     /* null pointer, malformed JSON or bad value */
#define L_SDK_ERR_NOT_INITIALIZED 4 /* l_sdk_init has not been called (or l_sdk_quit has) */
#define L_SDK_ERR_NO_SESSION 5      /* unknown login id */
#define L_SDK_ERR_NO_DECODER 6      /* unknown decoder id, or the decoder is not bound */
#define L_SDK_ERR_NO_DATA 7         /* no decoded picture is ready yet */
#define L_SDK_ERR_AUTH 8            /* the camera refused the credentials */

/* ---- Decoded pictures ------------------------------------------------------------ */

/* Pixel formats of a decoded picture. */
#define L_SDK_PIX_FMT_RGB24 3   /* packed, bytes R, G, B */
#define L_SDK_PIX_FMT_YUV420P 6 /* planar YUV 4:2:0 in three separate planes */
#define L_SDK_PIX_FMT_BGR24 43  /* packed, bytes B, G, R */

#pragma pack(push, 1)

/* One plane of a decoded picture: address (as an integer) and bytes per row. */
typedef struct l_sdk_plane
{
    uint64_t data;
    int32_t stride;
} l_sdk_plane;

/* A decoded picture; planes stay valid until l_sdk_dec_free_md_data. */
typedef struct l_sdk_md_data
{
    int32_t format;    /* L_SDK_PIX_FMT_* */
    int64_t timestamp; /* presentation time in microseconds */
    int32_t width;
    int32_t height;
    l_sdk_plane planes[3]; /* Y, U, V (packed formats use the first only) */
    uint64_t ref;          /* the library's reference to the picture; never 0 in a block handed out */
} l_sdk_md_data;

#pragma pack(pop)

/* Address of a plane as a byte pointer. */
#define L_SDK_PLANE_PTR(plane) ((uint8_t *)(uintptr_t)(plane).data)

/* ---- Library --------------------------------------------------------------------- */

/* Receives the library's log lines (text without a trailing newline). */
typedef void (*l_sdk_log_callback)(const char *text);

/* Sends the log lines to callback instead of standard error; NULL restores standard error.
   Allowed before l_sdk_init. */
L_SDK_API int32_t l_sdk_log_set_callback(l_sdk_log_callback callback);

/* Starts the library; config is a JSON text, empty for the defaults. */
L_SDK_API int32_t l_sdk_init(const char *config);
/* Stops the library; every session and decoder is closed. */
L_SDK_API int32_t l_sdk_quit(void);
/* Releases a text handed out by the library; NULL is accepted. */
L_SDK_API int32_t l_sdk_free(char *text);

/* ---- Discovery ------------------------------------------------------------------- */

/* Prepares discovery; config is a JSON text, empty for the defaults. */
L_SDK_API int32_t l_sdk_discover_open(const char *config);
/* Starts (1) or stops (0) the background search for cameras. */
L_SDK_API int32_t l_sdk_discover_run(int32_t run);
/* Ends discovery and forgets the cameras found. */
L_SDK_API int32_t l_sdk_discover_close(void);
/* Hands out the JSON list of cameras found so far; release it with l_sdk_free. */
L_SDK_API int32_t l_sdk_discover_get_devs(char **answer);

/* ---- Sessions -------------------------------------------------------------------- */

/* Logs in with a JSON "login" request; writes the login id on success. */
L_SDK_API int32_t l_sdk_login(int32_t *login_id, const char *request);
/* Ends a session. */
L_SDK_API int32_t l_sdk_logout(int32_t login_id);
/* Sends one JSON command and hands out the answer; release it with l_sdk_free. */
L_SDK_API int32_t l_sdk_request(int32_t login_id, const char *request, char **answer);

/* ---- Decoders -------------------------------------------------------------------- */

/* Creates a decoder under a caller-chosen id; description is JSON ("md_fmt", "pix_fmt"). */
L_SDK_API int32_t l_sdk_dec_open(int32_t decoder_id, const char *description);
/* Feeds the decoder from a session's channel and stream. */
L_SDK_API int32_t l_sdk_dec_bind(int32_t decoder_id, int32_t login_id, int32_t channel, int32_t stream_index);
/* Detaches the decoder from its stream. */
L_SDK_API int32_t l_sdk_dec_unbind(int32_t decoder_id);
/* Destroys the decoder. */
L_SDK_API int32_t l_sdk_dec_close(int32_t decoder_id);
/* Hands out the next decoded picture; any block handed out, whatever the status, goes back to
   l_sdk_dec_free_md_data. */
L_SDK_API int32_t l_sdk_dec_get_md_data(int32_t decoder_id, l_sdk_md_data **data);
/* Releases a picture handed out by l_sdk_dec_get_md_data; NULL is accepted. */
L_SDK_API int32_t l_sdk_dec_free_md_data(l_sdk_md_data *data);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* ---- Layout checks --------------------------------------------------------------- */

#ifdef __cplusplus
#define L_SDK_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define L_SDK_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

L_SDK_STATIC_ASSERT(sizeof(l_sdk_plane) == 12, "plane is 12 bytes");
L_SDK_STATIC_ASSERT(sizeof(l_sdk_md_data) == 64, "decoded picture block is 64 bytes");
L_SDK_STATIC_ASSERT(offsetof(l_sdk_md_data, timestamp) == 4, "decoded picture: timestamp");
L_SDK_STATIC_ASSERT(offsetof(l_sdk_md_data, width) == 12, "decoded picture: width");
L_SDK_STATIC_ASSERT(offsetof(l_sdk_md_data, height) == 16, "decoded picture: height");
L_SDK_STATIC_ASSERT(offsetof(l_sdk_md_data, planes) == 20, "decoded picture: planes");
L_SDK_STATIC_ASSERT(offsetof(l_sdk_md_data, ref) == 56, "decoded picture: data reference");

#endif /* L_SDK_H */
