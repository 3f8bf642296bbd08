/*
 * kivoengine: the conversion engine of Qor Converter.
 *
 * A shared library with a C API on FFmpeg's libraries and libjpeg. It probes media files,
 * writes still pictures and converts one file at a time on a thread of its own. It links no
 * Qt and starts no processes.
 *
 * Threads. Every export may be called from any thread; the program calls them from its user
 * interface thread. A conversion started by _X runs on the engine's own thread: the info and
 * percent callbacks are called on that thread, and the end of a conversion is announced by
 * posting WM_CONVERTDONE through the KivoWindow handle, also from that thread. The caller
 * must carry their effects over to its own thread and must not block in them.
 *
 * Text. Paths and texts are UTF-8 (the system code page of the platforms we run on).
 */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define KIVO_API __declspec(dllexport)
#else
#define KIVO_API __attribute__((visibility("default")))
#endif

/* Posted to the window when one conversion has ended: finished, stopped or failed. */
#define WM_CONVERTDONE 1212

/* A window the engine can post messages to without knowing the toolkit: the program fills
 * in post() and keeps the struct alive while a conversion runs. post() is called from the
 * engine's thread and must only queue the message. */
typedef struct KivoWindow KivoWindow;
struct KivoWindow {
    void (*post)(KivoWindow* self, unsigned msg, uintptr_t wparam, intptr_t lparam);
};

/* The probe record: twelve 32-bit slots. Slots reserved0, reserved7 and reserved8 are not
 * written. */
typedef struct EngineFileInfo {
    int32_t reserved0;
    int32_t duration;        /* whole seconds */
    const char* videoFormat; /* engine-owned text, valid until the next probe */
    const char* audioFormat; /* engine-owned text, valid until the next probe */
    int32_t width;
    int32_t height;
    float fps;
    int32_t reserved7;
    int32_t reserved8;
    float bitRate;      /* audio bit rate, kbit/s */
    int32_t sampleRate; /* Hz */
    int32_t channels;
} EngineFileInfo;

typedef int (*KivoInfoCallback)(const char* text);
typedef int (*KivoPercentCallback)(int percent);

KIVO_API int MyDll_Init(void);
KIVO_API int Mydll_GetFileinfo(const char* path, EngineFileInfo* info);
KIVO_API int Mydll_GetPicure(const char* path, int seconds, const char* size, const char* jpegPath);
KIVO_API int Mydll_Stop(void);
KIVO_API int SetGetInfoCallBackFun(KivoInfoCallback callback);
KIVO_API int SetGetPercentCallBackFun(KivoPercentCallback callback);
KIVO_API int _X(KivoWindow* window, int argc, char** argv);

#ifdef __cplusplus
}
#endif
