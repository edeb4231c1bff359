#pragma once
#include <windows.h>

// The worker thread's function: runs the receive loop on the global Port,
// records and window until the port stops running; returns 0.
unsigned __stdcall ReceiveLoop(void* unused);
