#include "threads/CUiThread.h"

#include <objbase.h>

#include <memory>

#include "app/CMyAppModule.h"
#include "ui/CUiMessageLoop.h"

DWORD WINAPI CUiThread::ThreadProc(void* params)
{
    std::unique_ptr<Params> ownedParams(static_cast<Params*>(params));
    // An apartment of its own: the tab bar answers assistive tools through
    // COM, and the open-file dialog wants one too. Without it those two do
    // without; the rest of the window works the same.
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    auto loop = std::make_unique<CUiMessageLoop>();
    g_module.AddMessageLoop(loop.get());
    const int result = loop->Run();
    ownedParams.reset();
    g_module.RemoveMessageLoop();
    loop.reset();
    if (com)
        CoUninitialize();
    return static_cast<DWORD>(result);
}
