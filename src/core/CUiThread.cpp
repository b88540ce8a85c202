#include "CUiThread.h"

#include <memory>

#include "../ui/CUiMessageLoop.h"
#include "CMyAppModule.h"

DWORD WINAPI CUiThread::ThreadProc(void* params)
{
    std::unique_ptr<Params> ownedParams(static_cast<Params*>(params));
    auto loop = std::make_unique<CUiMessageLoop>();
    g_module.AddMessageLoop(loop.get());
    const int result = loop->Run();
    ownedParams.reset();
    g_module.RemoveMessageLoop();
    loop.reset();
    return static_cast<DWORD>(result);
}
