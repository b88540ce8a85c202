// Quillow.exe: hides everything on the screen at once by switching to a
// second desktop, and back.
#include <windows.h>

#include "threads/CProgram.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Returning would run the static destructors (the module and the live
    // settings it holds) while a worker held past the wait, such as a
    // password prompt's thread, may still read them. ExitProcess ends every
    // other thread first, so nothing of ours runs after this under a thread
    // that is still alive.
    ExitProcess(static_cast<UINT>(CProgram::Run(instance)));
}
