#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "CommandRecorder.h"
#include "CPixelCanvas.h"
#include "res/resource.h"
#include "ui/themed/CEditBrowserCtrl.h"
#include "win/CWindowImpl.h"

namespace {

// ---- the frame arithmetic ----

TEST(EditBrowserLayoutTest, ButtonTakesTheRightOfTheClientAreaInWindowCoordinates)
{
    // A box at (100, 50) in its parent with a two-pixel border.
    const RECT window{100, 50, 300, 74};
    const RECT client{102, 52, 298, 72};
    const auto layout = CEditBrowserCtrl::LayOutFrame(window, client, 16);
    EXPECT_EQ(102, layout.client.left);
    EXPECT_EQ(282, layout.client.right);
    EXPECT_EQ(52, layout.client.top);
    EXPECT_EQ(72, layout.client.bottom);
    // 282..298 less the window's corner, one pixel more above, right, below.
    EXPECT_EQ(182, layout.button.left);
    EXPECT_EQ(1, layout.button.top);
    EXPECT_EQ(199, layout.button.right);
    EXPECT_EQ(23, layout.button.bottom);
}

TEST(EditBrowserLayoutTest, ButtonDoesNotDependOnWhereTheBoxIs)
{
    const auto here = CEditBrowserCtrl::LayOutFrame({0, 0, 120, 22}, {1, 1, 119, 21}, 16);
    const auto there = CEditBrowserCtrl::LayOutFrame({40, 300, 160, 322}, {41, 301, 159, 321}, 16);
    EXPECT_TRUE(EqualRect(&here.button, &there.button));
}

TEST(EditBrowserLayoutTest, BoxNarrowerThanTheButtonKeepsAnEmptyClientArea)
{
    const auto layout = CEditBrowserCtrl::LayOutFrame({0, 0, 12, 22}, {1, 1, 11, 21}, 16);
    EXPECT_EQ(layout.client.left, layout.client.right);
    EXPECT_EQ(1, layout.button.left);
    EXPECT_EQ(12, layout.button.right);
}

TEST(EditBrowserLayoutTest, WidthIsTheConfiguredOneOrFourFifthsOfTheHeight)
{
    EXPECT_EQ(16, CEditBrowserCtrl::ButtonWidthFor(16, 40));
    EXPECT_EQ(16, CEditBrowserCtrl::ButtonWidthFor(CEditBrowserCtrl::kWidthFromHeight, 20));
    EXPECT_EQ(17, CEditBrowserCtrl::ButtonWidthFor(CEditBrowserCtrl::kWidthFromHeight, 22));
    EXPECT_EQ(0, CEditBrowserCtrl::ButtonWidthFor(-7, 20));
}

TEST(EditBrowserLayoutTest, ArrowPointsRightFromTheMiddleOfTheButton)
{
    POINT arrow[3];
    CEditBrowserCtrl::ArrowPoints(17, 20, arrow);
    // dx = 6 (6.8 cut), dy = 7; the tip at the centre line 20 / 2.
    EXPECT_EQ(6, arrow[0].x);
    EXPECT_EQ(7, arrow[0].y);
    EXPECT_EQ(6, arrow[1].x);
    EXPECT_EQ(13, arrow[1].y);
    EXPECT_EQ(11, arrow[2].x);
    EXPECT_EQ(10, arrow[2].y);
}

TEST(EditBrowserKeysTest, F4AndAltWithDownOrUpOpenTheChooser)
{
    EXPECT_TRUE(CEditBrowserCtrl::OpensChooser(WM_KEYDOWN, VK_F4));
    EXPECT_TRUE(CEditBrowserCtrl::OpensChooser(WM_SYSKEYDOWN, VK_DOWN));
    EXPECT_TRUE(CEditBrowserCtrl::OpensChooser(WM_SYSKEYDOWN, VK_UP));
}

// Alt+F4 closes the window; the arrows alone move the caret.
TEST(EditBrowserKeysTest, AltF4AndTheArrowsAloneAreLeftToTheSystemAndTheEdit)
{
    EXPECT_FALSE(CEditBrowserCtrl::OpensChooser(WM_SYSKEYDOWN, VK_F4));
    EXPECT_FALSE(CEditBrowserCtrl::OpensChooser(WM_KEYDOWN, VK_DOWN));
    EXPECT_FALSE(CEditBrowserCtrl::OpensChooser(WM_KEYUP, VK_F4));
    EXPECT_FALSE(CEditBrowserCtrl::OpensChooser(WM_KEYDOWN, VK_F5));
}

// ---- the box on a window ----

// Stands in for the page: counts the browse notifications it is sent.
class CBrowseRecorder : public CWindowImpl<CBrowseRecorder> {
public:
    DECLARE_WND_CLASS_EX(L"QuillowTestBrowseRecorder", 0,
                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), 0)

    std::vector<WPARAM> browsedBoxes;
    std::vector<LPARAM> browseParams;

    ~CBrowseRecorder()
    {
        if (IsWindow())
            DestroyWindow();
    }

    BEGIN_MSG_MAP(CBrowseRecorder)
        MESSAGE_HANDLER(WM_EDIT_BROWSE, OnBrowse)
    END_MSG_MAP()

private:
    LRESULT OnBrowse(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        browsedBoxes.push_back(wParam);
        browseParams.push_back(lParam);
        return 0;
    }
};

constexpr COLORREF kNormalTop = RGB(234, 246, 253);
constexpr COLORREF kPressedTop = RGB(194, 228, 246);
constexpr COLORREF kEdgeLine = RGB(127, 157, 185);

class EditBrowserCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const RECT place{200, 200, 500, 300};
        ASSERT_NE(nullptr, parent.Create(nullptr, &place, L"", WS_POPUP | WS_VISIBLE,
                                         WS_EX_NOACTIVATE));
        // Framed as the page's boxes are.
        edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"text",
                               WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 24,
                               parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, edit);
        GetClientRect(edit, &plainClient);
        ASSERT_TRUE(box.SubclassWindow(edit));
        UpdateWindow(parent);
        PumpPosted();
    }

    // The button's centre, on the screen.
    POINT ButtonCentre() const
    {
        RECT window{};
        GetWindowRect(edit, &window);
        const RECT& button = box.ButtonRect();
        return POINT{window.left + (button.left + button.right) / 2,
                     window.top + (button.top + button.bottom) / 2};
    }

    void PressAt(POINT screen)
    {
        PostMessageW(edit, WM_NCLBUTTONDOWN, HTBORDER, MAKELPARAM(screen.x, screen.y));
        PumpPosted();
    }

    void ReleaseAt(POINT screen)
    {
        POINT client = screen;
        ScreenToClient(edit, &client);
        PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        PumpPosted();
    }

    // What the button shows on screen at a point of its own rectangle.
    COLORREF ButtonPixel(int x, int y) const
    {
        CPixelCanvas canvas(1, 1);
        HDC dc = GetWindowDC(edit);
        BitBlt(canvas.Dc(), 0, 0, 1, 1, dc, box.ButtonRect().left + x, box.ButtonRect().top + y,
               SRCCOPY);
        ReleaseDC(edit, dc);
        return canvas.At(0, 0);
    }

    // Where the text area ends, from the window's top-left corner.
    int ClientRightInWindow() const
    {
        RECT window{}, client{};
        GetWindowRect(edit, &window);
        GetClientRect(edit, &client);
        POINT right{client.right, 0};
        ClientToScreen(edit, &right);
        return right.x - window.left;
    }

    POINT InsideText() const
    {
        POINT point{4, 4};
        ClientToScreen(edit, &point);
        return point;
    }

    CBrowseRecorder parent;
    HWND edit = nullptr;
    RECT plainClient{};
    CEditBrowserCtrl box;
};

TEST_F(EditBrowserCtrlTest, SubclassingTakesTheButtonOutOfTheTextArea)
{
    RECT client{};
    GetClientRect(edit, &client);
    EXPECT_EQ(plainClient.right - CEditBrowserCtrl::kDefaultButtonWidth, client.right);
    EXPECT_EQ(plainClient.bottom, client.bottom);
    // The button begins where the text ends and is as wide as configured,
    // with one pixel more to the right.
    EXPECT_EQ(ClientRightInWindow(), box.ButtonRect().left);
    EXPECT_EQ(CEditBrowserCtrl::kDefaultButtonWidth + 1,
              box.ButtonRect().right - box.ButtonRect().left);
}

TEST_F(EditBrowserCtrlTest, ButtonAnswersAsBorderAndTheTextAsClient)
{
    const POINT centre = ButtonCentre();
    EXPECT_EQ(HTBORDER, SendMessageW(edit, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)));
    const POINT text = InsideText();
    EXPECT_EQ(HTCLIENT, SendMessageW(edit, WM_NCHITTEST, 0, MAKELPARAM(text.x, text.y)));
}

TEST_F(EditBrowserCtrlTest, ClickOnTheButtonSendsTheParentTheBoxHandle)
{
    PressAt(ButtonCentre());
    EXPECT_TRUE(box.IsPressed());
    EXPECT_EQ(edit, GetCapture());
    EXPECT_EQ(edit, GetFocus());
    EXPECT_TRUE(parent.browsedBoxes.empty()) << "a press alone is no click";
    ReleaseAt(ButtonCentre());
    ASSERT_EQ(1u, parent.browsedBoxes.size());
    EXPECT_EQ(reinterpret_cast<WPARAM>(edit), parent.browsedBoxes[0]);
    EXPECT_EQ(0, parent.browseParams[0]);
    EXPECT_FALSE(box.IsPressed());
    EXPECT_NE(edit, GetCapture());
}

TEST_F(EditBrowserCtrlTest, PressMovedOffTheButtonAndReleasedDoesNothing)
{
    PressAt(ButtonCentre());
    ReleaseAt(InsideText());
    EXPECT_TRUE(parent.browsedBoxes.empty());
    EXPECT_FALSE(box.IsPressed());
    EXPECT_NE(edit, GetCapture());
}

TEST_F(EditBrowserCtrlTest, PressOnTheTextIsNoPressOfTheButton)
{
    PressAt(InsideText());
    EXPECT_FALSE(box.IsPressed());
    ReleaseAt(ButtonCentre());
    EXPECT_TRUE(parent.browsedBoxes.empty());
}

TEST_F(EditBrowserCtrlTest, ReleaseWithoutAPressDoesNothing)
{
    ReleaseAt(ButtonCentre());
    EXPECT_TRUE(parent.browsedBoxes.empty());
}

TEST_F(EditBrowserCtrlTest, LostCaptureEndsThePressWithoutAClick)
{
    PressAt(ButtonCentre());
    ASSERT_TRUE(box.IsPressed());
    ReleaseCapture();
    PumpPosted();
    EXPECT_FALSE(box.IsPressed());
    ReleaseAt(ButtonCentre());
    EXPECT_TRUE(parent.browsedBoxes.empty());
}

TEST_F(EditBrowserCtrlTest, F4InTheBoxSendsTheParentTheBoxHandle)
{
    SendMessageW(edit, WM_KEYDOWN, VK_F4, 0);
    SendMessageW(edit, WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
    EXPECT_EQ((std::vector<WPARAM>{reinterpret_cast<WPARAM>(edit), reinterpret_cast<WPARAM>(edit)}),
              parent.browsedBoxes);
}

TEST_F(EditBrowserCtrlTest, OtherKeysStillReachTheEdit)
{
    SendMessageW(edit, WM_KEYDOWN, VK_END, 0);
    SendMessageW(edit, WM_CHAR, L'!', 0);
    EXPECT_TRUE(parent.browsedBoxes.empty());
    wchar_t text[16] = L"";
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(L"text!", text);
}

TEST_F(EditBrowserCtrlTest, DisabledBoxTakesNoKeyToBrowse)
{
    EnableWindow(edit, FALSE);
    SendMessageW(edit, WM_KEYDOWN, VK_F4, 0);
    EXPECT_TRUE(parent.browsedBoxes.empty());
}

// The button lies outside the text area, to the right of it; so does the
// tip's place, in the box's client coordinates.
TEST_F(EditBrowserCtrlTest, TheButtonsTipCoversTheButtonAlone)
{
    box.SetButtonToolTip(L"Choose (F4)");
    ASSERT_NE(nullptr, box.ButtonToolTip());
    wchar_t text[32] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = edit;
    tool.uId = 1;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(box.ButtonToolTip(), TTM_GETTOOLINFOW, 0,
                             reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(L"Choose (F4)", text);
    RECT client{};
    GetClientRect(edit, &client);
    EXPECT_GE(tool.rect.left, client.right);
    EXPECT_EQ(box.ButtonRect().right - box.ButtonRect().left, tool.rect.right - tool.rect.left);
}

TEST_F(EditBrowserCtrlTest, AnEmptyTipMeansNone)
{
    box.SetButtonToolTip(L"Choose (F4)");
    box.SetButtonToolTip(L"");
    EXPECT_EQ(nullptr, box.ButtonToolTip());
}

TEST_F(EditBrowserCtrlTest, DisabledBoxDoesNotReact)
{
    EnableWindow(edit, FALSE);
    PressAt(ButtonCentre());
    EXPECT_FALSE(box.IsPressed());
    EXPECT_NE(edit, GetCapture());
    ReleaseAt(ButtonCentre());
    EXPECT_TRUE(parent.browsedBoxes.empty());
}

TEST_F(EditBrowserCtrlTest, MovedBoxKeepsItsButtonUnderTheMouse)
{
    SetWindowPos(edit, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    PumpPosted();
    PressAt(ButtonCentre());
    ReleaseAt(ButtonCentre());
    EXPECT_EQ(1u, parent.browsedBoxes.size());
    EXPECT_EQ(ClientRightInWindow(), box.ButtonRect().left);
}

// ---- the button's looks ----

TEST_F(EditBrowserCtrlTest, NormalButtonShowsItsGradientEdgeAndArrow)
{
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(kNormalTop, ButtonPixel(8, 0));
    EXPECT_EQ(kEdgeLine, ButtonPixel(0, 10));
    POINT arrow[3];
    const RECT& button = box.ButtonRect();
    CEditBrowserCtrl::ArrowPoints(button.right - button.left, button.bottom - button.top, arrow);
    EXPECT_EQ(RGB(0, 0, 0), ButtonPixel(arrow[0].x + 1, arrow[2].y));
}

TEST_F(EditBrowserCtrlTest, PressedButtonIsDarkerAndComesBackAfterAMoveOff)
{
    PressAt(ButtonCentre());
    EXPECT_EQ(kPressedTop, ButtonPixel(8, 0));
    ReleaseAt(InsideText());
    EXPECT_EQ(kNormalTop, ButtonPixel(8, 0));
}

TEST_F(EditBrowserCtrlTest, DisabledButtonIsFilledWithTheInactiveBorderColour)
{
    EnableWindow(edit, FALSE);
    PumpPosted();
    const COLORREF inactive = GetSysColor(COLOR_INACTIVEBORDER);
    EXPECT_EQ(inactive, ButtonPixel(8, 0));
    EXPECT_EQ(inactive, ButtonPixel(0, 10));
    EnableWindow(edit, TRUE);
    PumpPosted();
    EXPECT_EQ(kNormalTop, ButtonPixel(8, 0));
}

}  // namespace
