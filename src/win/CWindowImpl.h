#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CWindow.h"
#include "MessageMap.h"

// What a window kind registers its class with.
struct CWndClassInfo {
    const wchar_t* name;
    UINT style;
    HBRUSH background;
    UINT iconId;  // 0: no icon
};

// Declares the window class of a CWindowImpl: name, class style, background
// brush (nullptr: the window paints its own background) and icon resource.
#define DECLARE_WND_CLASS_EX(className, classStyle, backgroundBrush, icon)                   \
    static const CWndClassInfo& GetWndClassInfo()                                            \
    {                                                                                        \
        static const CWndClassInfo info{className, classStyle, backgroundBrush, icon};       \
        return info;                                                                         \
    }

// The base of every window object. The object is attached to its window at
// WM_NCCREATE (for windows it creates) or by SetWindowSubclass (for controls
// made from a dialog template), and detached at WM_NCDESTROY.
class CMessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult, DWORD dwMsgMapID = 0) = 0;

protected:
    ~CMessageMap() = default;
};

template <class T, class TBase = CWindow>
class CWindowImpl : public TBase, public CMessageMap {
public:
    HWND Create(HWND parent, const RECT* rect, const wchar_t* title, DWORD style, DWORD exStyle,
                HMENU menu = nullptr)
    {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        if (!RegisterClassOnce(instance))
            return nullptr;
        const RECT useDefault{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
        const RECT& r = rect ? *rect : useDefault;
        const int width = rect ? r.right - r.left : CW_USEDEFAULT;
        const int height = rect ? r.bottom - r.top : CW_USEDEFAULT;
        return CreateWindowExW(exStyle, T::GetWndClassInfo().name, title, style, r.left, r.top,
                               width, height, parent, menu, instance, this);
    }

    // Takes over a window someone else created, such as a dialog's control.
    BOOL SubclassWindow(HWND hwnd)
    {
        if (this->m_hWnd || !SetWindowSubclass(hwnd, SubclassProc, kSubclassId,
                                               reinterpret_cast<DWORD_PTR>(this)))
            return FALSE;
        this->m_hWnd = hwnd;
        m_subclassed = true;
        return TRUE;
    }

    // Gives the window back while its handle is still valid.
    HWND UnsubclassWindow()
    {
        HWND hwnd = this->m_hWnd;
        if (m_subclassed && hwnd)
            RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        m_subclassed = false;
        this->m_hWnd = nullptr;
        return hwnd;
    }

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return m_subclassed ? DefSubclassProc(this->m_hWnd, message, wParam, lParam)
                            : ::DefWindowProcW(this->m_hWnd, message, wParam, lParam);
    }

    // Called after the window is gone; the object may delete itself here.
    virtual void OnFinalMessage(HWND) {}

protected:
    ~CWindowImpl() = default;

private:
    static constexpr UINT_PTR kSubclassId = 1;

    static bool RegisterClassOnce(HINSTANCE instance)
    {
        const CWndClassInfo& info = T::GetWndClassInfo();
        WNDCLASSEXW existing{sizeof(existing)};
        if (GetClassInfoExW(instance, info.name, &existing))
            return true;
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = info.style;
        wc.lpfnWndProc = StartWindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = info.background;
        wc.lpszClassName = info.name;
        if (info.iconId) {
            wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(info.iconId));
            wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(info.iconId),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
        }
        return RegisterClassExW(&wc) != 0;
    }

    static LRESULT CALLBACK StartWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->m_hWnd = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self)
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        LRESULT result = 0;
        if (!self->ProcessWindowMessage(hwnd, message, wParam, lParam, result))
            result = ::DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hwnd);
        }
        return result;
    }

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR refData)
    {
        auto* self = reinterpret_cast<T*>(refData);
        LRESULT result = 0;
        if (!self->ProcessWindowMessage(hwnd, message, wParam, lParam, result))
            result = DefSubclassProc(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            self->UnsubclassWindow();
            self->OnFinalMessage(hwnd);
        }
        return result;
    }

    bool m_subclassed = false;
};
