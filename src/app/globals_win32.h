#pragma once
// The process-wide records and window handles, in one place.
//
// Threads: the main thread creates every record (after the main window
// exists) and releases them at teardown, only once no worker can run any more.
// The window handles are written once while the main window is created and
// only read afterwards, by the main thread and by the worker.
//
// Data, Marker and Counter are shared between the worker (replies and
// position reports), the main thread's commands and the dial's paint: every
// read or write of them holds RecordsLock. No window call is ever made while
// it is held (the worker's window calls are synchronous calls into the main
// thread, so holding it there could deadlock against a paint).
#include <windows.h>

#include <mutex>

#include "protocol/data.h"
#include "protocol/rotor.h"

namespace zeltan {
class TPort;
class TTurn;
class TThread;
}  // namespace zeltan

extern zeltan::TData* Data;
extern zeltan::TPort* Port;
extern zeltan::TTurn* Turn;
extern zeltan::TMarker* Marker;
extern zeltan::TCounter* Counter;
extern zeltan::TThread* Thread;

extern HWND hMainWnd;
extern HWND hPaintWnd;
extern HWND hVersionEdit;
extern HWND hParamEdit[8];  // 0..3 angles, 4..7 speeds
extern HWND hPortCombo;
extern HWND hBaudCombo;
extern HWND hOpenBtn;
extern HWND hCloseBtn;
extern HWND hReadBtn;
extern HWND hWriteBtn;
extern HWND hRestoreBtn;
extern HWND hLeftBtn;
extern HWND hRightBtn;
extern HWND hResetBtn;
extern HWND hSoundBtn;
extern HWND hAngleBtn;
extern HWND hAboutBtn;
extern HINSTANCE hInst;

// Guards *Data, *Marker and *Counter (see above).
extern std::mutex RecordsLock;
