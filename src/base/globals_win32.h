#pragma once
// The process-wide records and window handles. They sit below every
// subsystem so that each can reach what it shares with the others without
// reaching up into the program that owns them.
//
// Who writes what:
// - The window handles are written once, on the main thread, while the main
//   window is created, and only read afterwards, by the main thread and by
//   the worker.
// - The records are created by the main thread right after the main window
//   exists (Turn while it is created) and released at teardown, only once no
//   worker can run any more; a teardown that could not see the worker end
//   releases nothing.
// - Data, Marker and Counter are shared between the worker (replies and
//   position reports), the main thread's commands and the dial's paint:
//   every read or write of them holds RecordsLock. No window call is ever
//   made while it is held: the worker's window calls are synchronous calls
//   into the main thread, so holding it there could deadlock against a paint.
#include <windows.h>

#include <mutex>

#include "base/controls.h"

namespace zeltan {
class TData;
class TPort;
class TTurn;
class TMarker;
class TCounter;
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

// Guards *Data, *Marker and *Counter (see above). It is never destroyed: a
// worker that outlived teardown may still take it while the process ends.
extern std::mutex& RecordsLock;

namespace zeltan {

// The global that keeps a control's window, or nullptr for a control that
// is not kept (a label).
HWND* KeptWindow(Control control);
// The control's window (nullptr before it exists, and for a label).
HWND ControlWindow(Control control);

}  // namespace zeltan
