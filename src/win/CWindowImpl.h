#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>

#include "win/CWindow.h"
#include "win/MessageMap.h"

// What a window kind registers its class with.
struct CWndClassInfo {
    const wchar_t* name;
    UINT style;
    HBRUSH background;
    UINT iconId;                 // 0: no icon
    const wchar_t* baseClassName;  // nullptr: not a superclass
};

// Declares the window class of a CWindowImpl: name, class style, background
// brush (nullptr: the window paints its own background) and icon resource.
#define DECLARE_WND_CLASS_EX(className, classStyle, backgroundBrush, icon)                   \
    static const CWndClassInfo& GetWndClassInfo()                                            \
    {                                                                                        \
        static const CWndClassInfo info{className, classStyle, backgroundBrush, icon, nullptr}; \
        return info;                                                                         \
    }

// Declares a class that behaves as an existing one (a system control) until
// the window object answers a message itself: it takes the base class's
// style, cursor, background and extra bytes, and every message the object
// leaves goes on to the base class's window procedure.
#define DECLARE_WND_SUPERCLASS(className, baseClassName)                                     \
    static const CWndClassInfo& GetWndClassInfo()                                            \
    {                                                                                        \
        static constexpr CWndClassInfo info{className, 0, nullptr, 0, baseClassName};        \
        return info;                                                                         \
    }

// The base of every window object. The object is attached to its window at
// WM_NCCREATE (for windows it creates) or by SetWindowSubclass (for controls
// made from a dialog template), and detached at WM_NCDESTROY.
class CMessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult, DWORD dwMsgMapID = 0) = 0;

    // For the typed handlers (MSG_WM_SIZE and the like), which return
    // nothing: one that lets its message go on to the default handling says
    // so here, as with WTL's crackers.
    void SetMsgHandled(BOOL handled) { m_msgHandled = handled; }
    BOOL IsMsgHandled() const { return m_msgHandled; }

protected:
    ~CMessageMap() = default;

private:
    BOOL m_msgHandled = TRUE;
};

template <class T, class TBase = CWindow>
class CWindowImpl : public TBase, public CMessageMap {
public:
    // What a child made without a style gets; a window kind may hide this.
    static DWORD GetWndStyle(DWORD style)
    {
        return style ? style : WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    }

    // A child window with a control id; style 0 takes T's default style.
    HWND Create(HWND parent, const RECT& rect, const wchar_t* title = nullptr, DWORD style = 0,
                DWORD exStyle = 0, UINT id = 0)
    {
        return Create(parent, &rect, title, T::GetWndStyle(style), exStyle,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
    }

    HWND Create(HWND parent, const RECT* rect, const wchar_t* title, DWORD style, DWORD exStyle,
                HMENU menu = nullptr)
    {
        // One object drives one window.
        if (this->m_hWnd)
            return nullptr;
        HINSTANCE instance = GetModuleHandleW(nullptr);
        if (!RegisterClassOnce(instance))
            return nullptr;
        const RECT useDefault{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
        const RECT& r = rect ? *rect : useDefault;
        const int width = rect ? r.right - r.left : CW_USEDEFAULT;
        const int height = rect ? r.bottom - r.top : CW_USEDEFAULT;
        // The start procedure casts back to T, so the address handed over is T's.
        return CreateWindowExW(exStyle, T::GetWndClassInfo().name, title, style, r.left, r.top,
                               width, height, parent, menu, instance, static_cast<T*>(this));
    }

    // Takes over a window someone else created, such as a dialog's control.
    BOOL SubclassWindow(HWND hwnd)
    {
        const auto self = reinterpret_cast<DWORD_PTR>(static_cast<T*>(this));
        if (this->m_hWnd || !::IsWindow(hwnd) ||
            !SetWindowSubclass(hwnd, SubclassProc, kSubclassId, self))
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
                            : CallBaseProc(this->m_hWnd, message, wParam, lParam);
    }

    // Called after the window is gone; the object may delete itself here.
    virtual void OnFinalMessage(HWND) {}

protected:
    // An object that goes before its window leaves the window to its class's
    // own procedure; the window must never reach an object that is gone.
    ~CWindowImpl()
    {
        if (m_subclassed)
            UnsubclassWindow();
        else if (m_created && ::IsWindow(this->m_hWnd))
            SetWindowLongPtrW(this->m_hWnd, GWLP_USERDATA, 0);
    }

private:
    static constexpr UINT_PTR kSubclassId = 1;

    // The base class's window procedure of a superclass; set when the class
    // is registered, read by every window of it.
    static std::atomic<WNDPROC>& BaseProc()
    {
        static std::atomic<WNDPROC> proc{nullptr};
        return proc;
    }

    static LRESULT CallBaseProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        WNDPROC base = BaseProc().load();
        return base ? ::CallWindowProcW(base, hwnd, message, wParam, lParam)
                    : ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static bool ReadBaseClass(const wchar_t* baseClassName, WNDCLASSEXW& wc)
    {
        wc.cbSize = sizeof(wc);
        if (!GetClassInfoExW(nullptr, baseClassName, &wc))
            return false;
        BaseProc().store(wc.lpfnWndProc);
        return true;
    }

    static bool RegisterClassOnce(HINSTANCE instance)
    {
        const CWndClassInfo& info = T::GetWndClassInfo();
        WNDCLASSEXW wc{sizeof(wc)};
        if (GetClassInfoExW(instance, info.name, &wc)) {
            // Registered before this object's kind knew its base procedure:
            // without it every message would go to a null procedure.
            return !info.baseClassName || BaseProc().load() ||
                   ReadBaseClass(info.baseClassName, wc);
        }
        wc = WNDCLASSEXW{sizeof(wc)};
        if (info.baseClassName) {
            if (!ReadBaseClass(info.baseClassName, wc))
                return false;
            // The class is ours, local to this module, whatever the base was.
            wc.style &= ~CS_GLOBALCLASS;
        } else {
            wc.style = info.style;
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = info.background;
            if (info.iconId) {
                wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(info.iconId));
                wc.hIconSm = static_cast<HICON>(LoadImageW(
                    instance, MAKEINTRESOURCEW(info.iconId), IMAGE_ICON,
                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
            }
        }
        wc.lpfnWndProc = StartWindowProc;
        wc.hInstance = instance;
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = info.name;
        return RegisterClassExW(&wc) != 0;
    }

    static LRESULT CALLBACK StartWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            // A window of the class made by anyone but Create (a dialog
            // template naming it) brings no object and stays a plain one.
            auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (self) {
                self->m_hWnd = hwnd;
                self->m_created = true;
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            }
        }
        auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self)
            return CallBaseProc(hwnd, message, wParam, lParam);
        LRESULT result = 0;
        if (!self->ProcessWindowMessage(hwnd, message, wParam, lParam, result))
            result = CallBaseProc(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hWnd = nullptr;
            self->m_created = false;
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
    // Attached through Create, by the window's GWLP_USERDATA.
    bool m_created = false;
};
