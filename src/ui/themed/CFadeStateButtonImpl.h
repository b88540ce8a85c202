#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/themed/CBackgroundBrush.h"
#include "ui/themed/CColorFill.h"
#include "ui/themed/CFocusCue.h"
#include "ui/themed/CImageBlend.h"
#include "win/CButton.h"
#include "win/CDC.h"
#include "win/CDoubleBufferImpl.h"
#include "win/CDpi.h"
#include "win/CPaintDC.h"
#include "win/CWindowImpl.h"

// A round image button that cross-fades between its four looks (disabled,
// normal, hot, pressed) instead of jumping. Presses switch at once, since a
// click must show the moment it lands. The image holds the four frames side
// by side and belongs to whoever gave it.
template <class T, class TBase = CButton>
class CFadeStateButtonImpl : public CWindowImpl<T, TBase>, public CDoubleBufferImpl<T> {
public:
    // Style flags.
    static constexpr DWORD kBlackFill = 0x1;
    static constexpr DWORD kParentBackground = 0x2;
    static constexpr DWORD kDoubleBuffered = 0x4;

    // Frames of the image.
    static constexpr int kDisabledFrame = 0;
    static constexpr int kNormalFrame = 1;
    static constexpr int kHotFrame = 2;
    static constexpr int kPressedFrame = 3;
    static constexpr int kFrameCount = 4;

    static constexpr int kNoFade = 255;
    static constexpr int kFadeDivisor = 13;
    static constexpr UINT_PTR kFadeTimer = 5;
    static constexpr UINT kFadeTimerPeriod = 20;

    // The look the button should have now; later rules win.
    static int WantedFrame(bool hot, bool pressed, bool enabled, UINT buttonState)
    {
        int frame = kNormalFrame;
        if (hot)
            frame = kHotFrame;
        if (pressed)
            frame = kPressedFrame;
        if (!enabled)
            frame = kDisabledFrame;
        if (buttonState & (BST_PUSHED | BST_CHECKED))
            frame = kPressedFrame;
        return frame;
    }

    // A fade that starts while another runs picks up from how far that one
    // had come, so a quick in-and-out does not flash.
    static int FadeStartLevel(int level)
    {
        const int start = (kNoFade - level) * 2;
        if (start > kNoFade)
            return kNoFade;
        return start < 0 ? 0 : start;
    }

    // The level after the ticks from tick to now; tick counts may wrap.
    static int FadeStep(int level, DWORD tick, DWORD now, int divisor = kFadeDivisor)
    {
        if (divisor <= 0)
            return kNoFade;
        const unsigned long long step =
            static_cast<unsigned long long>(now - tick) * 10 / static_cast<unsigned>(divisor);
        const unsigned long long next = static_cast<unsigned long long>(level) + step;
        return next >= kNoFade ? kNoFade : static_cast<int>(next);
    }

    // The ticks that make up that many levels of a step; never more than
    // the step was given.
    static DWORD TicksFor(int levels, int divisor = kFadeDivisor)
    {
        if (levels <= 0 || divisor <= 0)
            return 0;
        return static_cast<DWORD>(static_cast<unsigned long long>(levels) *
                                  static_cast<unsigned>(divisor) / 10);
    }

    static BYTE CurrentFrameAlpha(int level)
    {
        const int alpha = 2 * level + 2;
        return static_cast<BYTE>(alpha > 255 ? 255 : alpha);
    }

    // An empty text means no tool tip.
    void SetToolTipText(const wchar_t* text)
    {
        m_toolTipText = text ? text : L"";
        if (!m_toolTip)
            return;
        ::SendMessageW(m_toolTip, TTM_ACTIVATE, FALSE, 0);
        TOOLINFOW tool = ToolInfo();
        // The tool of an earlier text goes, or its tip would outlive it.
        ::SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (m_toolTipText.empty())
            return;
        ::SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }

    // Returns the flags before.
    DWORD SetStyleFlags(DWORD flags)
    {
        const DWORD old = m_styleFlags;
        m_styleFlags = flags;
        if (flags & kBlackFill)
            m_fillColour = RGB(0, 0, 0);
        SkipBufferUnderCompositedParent();
        if (this->m_hWnd)
            this->Invalidate(FALSE);
        return old;
    }

    // The caller keeps the bitmap and must keep it alive while the button
    // shows it.
    void SetImage(HBITMAP image)
    {
        m_image = image;
        m_imageSize = CImageBlend::SizeOf(image);
        m_background.Drop();
        if (this->m_hWnd)
            this->Invalidate(FALSE);
    }

    // One frame wide and the image's height.
    void SizeToImage()
    {
        if (!this->m_hWnd)
            return;
        RECT window{}, client{};
        this->GetWindowRect(&window);
        this->GetClientRect(&client);
        const int frameWidth = (window.right - window.left) - client.right;
        const int frameHeight = (window.bottom - window.top) - client.bottom;
        this->SetWindowPos(nullptr, 0, 0, m_imageSize.cx / kFrameCount + frameWidth,
                           m_imageSize.cy + frameHeight,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    DWORD GetStyleFlags() const { return m_styleFlags; }
    COLORREF GetFillColour() const { return m_fillColour; }
    HWND GetToolTip() const { return m_toolTip; }
    const std::wstring& GetToolTipText() const { return m_toolTipText; }
    bool IsHot() const { return m_hot; }
    bool IsPressed() const { return m_pressed; }
    int GetCurrentFrame() const { return m_frame; }
    int GetPreviousFrame() const { return m_previousFrame; }
    int GetFadeLevel() const { return m_fadeLevel; }

    // Called by the double buffer with a memory DC, and directly otherwise.
    void DoPaint(CDCHandle dc)
    {
        if (dc.IsNull())
            return;
        RECT client{};
        this->GetClientRect(&client);
        PaintBackground(dc, client);
        UpdateFrames(::GetTickCount());
        PaintFrames(dc, client);
        PaintFocus(dc, client);
    }

    BEGIN_MSG_MAP(CFadeStateButtonImpl)
        MESSAGE_RANGE_HANDLER(kMouseFirst, kMouseLast, OnMouseMessage)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_SETFOCUS, OnRepaint)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnRepaint)
        MESSAGE_HANDLER(WM_ENABLE, OnRepaint)
        MESSAGE_HANDLER(WM_KEYDOWN, OnRepaint)
        MESSAGE_HANDLER(WM_KEYUP, OnRepaint)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnRepaint)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        CHAIN_MSG_MAP(CDoubleBufferImpl<T>)
    END_MSG_MAP()

protected:
    CFadeStateButtonImpl() = default;
    ~CFadeStateButtonImpl() = default;

private:
    // The whole mouse range of Vista and later, whatever WINVER says.
    static constexpr UINT kMouseFirst = 0x0200;
    static constexpr UINT kMouseLast = 0x020E;
    static constexpr int kTextLength = 300;
    static constexpr int kFocusInset = 3;

    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        this->ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
        if (this->DefWindowProc(message, wParam, lParam) == -1)
            return -1;
        m_background.SetSource(::GetParent(this->m_hWnd));
        CreateToolTip();
        SetToolTipText(m_toolTipText.c_str());
        m_fillColour = (m_styleFlags & kBlackFill) ? RGB(0, 0, 0) : ::GetSysColor(COLOR_WINDOW);
        SkipBufferUnderCompositedParent();
        wchar_t text[kTextLength] = L"";
        if (this->GetWindowText(text, kTextLength) > 0)
            SetToolTipText(text);
        if (!this->IsWindowEnabled())
            m_frame = m_previousFrame = kDisabledFrame;
        return 0;
    }

    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        this->KillTimer(kFadeTimer);
        if (m_toolTip)
            ::DestroyWindow(m_toolTip);
        m_toolTip = nullptr;
        handled = FALSE;
        return 0;
    }

    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

    // Drawn by its owner, but a push button all the same: Enter presses it,
    // as the dialog manager and the settings window's keys ask.
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON; }

    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        if (m_styleFlags & kDoubleBuffered) {
            handled = FALSE;  // the double buffer paints
            return 0;
        }
        CPaintDC dc(this->m_hWnd);
        DoPaint(dc);
        return 0;
    }

    LRESULT OnTimer(UINT, WPARAM timerId, LPARAM, BOOL& handled)
    {
        if (timerId != kFadeTimer) {
            handled = FALSE;
            return 0;
        }
        // A hidden button gets no WM_PAINT, where a fade would end: there is
        // nothing to show, so the fade ends here, or its timer would tick for
        // as long as the button is hidden.
        if (!this->IsWindowVisible()) {
            m_fadeLevel = kNoFade;
            this->KillTimer(kFadeTimer);
            return 0;
        }
        this->Invalidate(FALSE);
        return 0;
    }

    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        m_background.Drop();
        handled = FALSE;
        return 0;
    }

    // The tool tip sees every mouse message before the button acts on it.
    LRESULT OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        handled = FALSE;
        if (!m_toolTip)
            return 0;
        const DWORD position = ::GetMessagePos();
        MSG relayed{this->m_hWnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()),
                    POINT{static_cast<short>(LOWORD(position)),
                          static_cast<short>(HIWORD(position))}};
        ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        return 0;
    }

    // A double click counts as a second press, so two quick clicks on
    // "Next" move on twice.
    LRESULT OnLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const LRESULT result = this->DefWindowProc(WM_LBUTTONDOWN, wParam, lParam);
        if (this->HasCapture()) {
            m_pressed = true;
            this->Invalidate(FALSE);
        }
        HWND parent = ::GetParent(this->m_hWnd);
        if (parent) {
            ::SendMessageW(parent, WM_COMMAND,
                           MAKEWPARAM(this->GetDlgCtrlID(), BN_HILITE),
                           reinterpret_cast<LPARAM>(this->m_hWnd));
        }
        return result;
    }

    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        if (m_hot)
            return 0;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, this->m_hWnd, 0};
        ::TrackMouseEvent(&track);
        m_hot = true;
        this->Invalidate(FALSE);
        return 0;
    }

    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        if (!m_hot)
            return 0;
        m_hot = false;
        this->Invalidate(FALSE);
        return 0;
    }

    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        m_pressed = false;
        this->Invalidate(FALSE);
        handled = FALSE;
        return 0;
    }

    // The button's own handling goes on; the look follows at the next paint.
    LRESULT OnRepaint(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        this->Invalidate(FALSE);
        handled = FALSE;
        return 0;
    }

    void CreateToolTip()
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, this->m_hWnd,
                                      nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }

    TOOLINFOW ToolInfo()
    {
        TOOLINFOW tool{};
        // The size without the Windows XP field, which version 5 of the
        // common controls refuses.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = this->m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(this->m_hWnd);
        tool.lpszText = m_toolTipText.data();
        return tool;
    }

    // Under a composited parent the system buffers the whole window already.
    void SkipBufferUnderCompositedParent()
    {
        HWND parent = this->m_hWnd ? ::GetParent(this->m_hWnd) : nullptr;
        if (parent && (::GetWindowLongPtrW(parent, GWL_EXSTYLE) & WS_EX_COMPOSITED))
            m_styleFlags &= ~kDoubleBuffered;
    }

    void PaintBackground(CDCHandle dc, const RECT& client)
    {
        if (m_styleFlags & kParentBackground)
            m_background.Fill(this->m_hWnd, dc, client);
        else
            CColorFill::Fill(dc, client, m_fillColour);
    }

    void UpdateFrames(DWORD now)
    {
        const int wanted =
            WantedFrame(m_hot, m_pressed, this->IsWindowEnabled() != FALSE, this->GetState());
        if (wanted != m_frame) {
            if (wanted != kPressedFrame && m_frame != kPressedFrame && this->IsWindowVisible()) {
                m_previousFrame = m_frame;
                m_frame = wanted;
                m_fadeLevel = FadeStartLevel(m_fadeLevel);
                m_fadeTick = now;
                this->SetTimer(kFadeTimer, kFadeTimerPeriod);
            } else {
                m_previousFrame = m_frame = wanted;
                m_fadeLevel = kNoFade;
            }
        }
        if (m_fadeLevel < kNoFade) {
            const int next = FadeStep(m_fadeLevel, m_fadeTick, now, m_fadeDivisor);
            // The tick moves on by the time the step used up, not to now:
            // paints closer together than a level would otherwise each
            // drop their remainder and stall the fade.
            m_fadeTick += TicksFor(next - m_fadeLevel, m_fadeDivisor);
            m_fadeLevel = next;
        }
        // Also a fade that starts already complete: its timer must not run on.
        if (m_fadeLevel >= kNoFade) {
            m_fadeLevel = kNoFade;
            this->KillTimer(kFadeTimer);
        }
    }

    void PaintFrames(CDCHandle dc, const RECT& client)
    {
        if (!m_image)
            return;
        if (m_fadeLevel >= kNoFade) {
            PaintFrame(dc, client, m_frame, 255);
            return;
        }
        PaintFrame(dc, client, m_previousFrame, static_cast<BYTE>(kNoFade - m_fadeLevel));
        PaintFrame(dc, client, m_frame, CurrentFrameAlpha(m_fadeLevel));
    }

    // A dotted line just inside the round face, while the keyboard cues show.
    void PaintFocus(CDCHandle dc, RECT client)
    {
        if (!CFocusCue::IsShown(this->m_hWnd))
            return;
        const int inset = CDpi::OfWindow(this->m_hWnd).Scale(kFocusInset);
        InflateRect(&client, -inset, -inset);
        CFocusCue::DrawRing(dc, client);
    }

    void PaintFrame(CDCHandle dc, const RECT& client, int frame, BYTE alpha)
    {
        const int frameWidth = m_imageSize.cx / kFrameCount;
        if (frameWidth <= 0 || m_imageSize.cy <= 0)
            return;
        const RECT source{frame * frameWidth, 0, (frame + 1) * frameWidth, m_imageSize.cy};
        CImageBlend::Draw(dc, client, m_image, source, alpha);
    }

    HWND m_toolTip = nullptr;
    std::wstring m_toolTipText;
    HBITMAP m_image = nullptr;
    SIZE m_imageSize{};
    CBackgroundBrush m_background;
    COLORREF m_fillColour = ::GetSysColor(COLOR_WINDOW);
    DWORD m_styleFlags = 0;
    bool m_pressed = false;
    bool m_hot = false;
    int m_frame = kNormalFrame;
    int m_previousFrame = kNormalFrame;
    int m_fadeDivisor = kFadeDivisor;
    int m_fadeLevel = kNoFade;
    DWORD m_fadeTick = 0;
};
