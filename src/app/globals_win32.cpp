#include "app/globals_win32.h"

zeltan::TData* Data = nullptr;
zeltan::TPort* Port = nullptr;
zeltan::TTurn* Turn = nullptr;
zeltan::TMarker* Marker = nullptr;
zeltan::TCounter* Counter = nullptr;
zeltan::TThread* Thread = nullptr;

HWND hMainWnd = nullptr;
HWND hPaintWnd = nullptr;
HWND hVersionEdit = nullptr;
HWND hParamEdit[8] = {};
HWND hPortCombo = nullptr;
HWND hBaudCombo = nullptr;
HWND hOpenBtn = nullptr;
HWND hCloseBtn = nullptr;
HWND hReadBtn = nullptr;
HWND hWriteBtn = nullptr;
HWND hRestoreBtn = nullptr;
HWND hLeftBtn = nullptr;
HWND hRightBtn = nullptr;
HWND hResetBtn = nullptr;
HWND hSoundBtn = nullptr;
HWND hAngleBtn = nullptr;
HWND hAboutBtn = nullptr;
HINSTANCE hInst = nullptr;

std::mutex RecordsLock;
