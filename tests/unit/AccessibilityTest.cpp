#include <gtest/gtest.h>

#include <windows.h>

// The SDK's own definitions of the GUIDs, made here from its header, to hold
// ours against.
#include <initguid.h>
#include <oleacc.h>

#include <map>
#include <memory>
#include <string>

#include "app/CSettingsRecord.h"
#include "res/resource.h"
#include "ui/CAboutDlg.h"
#include "ui/CAccessibleNames.h"
#include "ui/CAdvancedSettingsDlg.h"
#include "ui/CBasicSettingsDlg.h"
#include "ui/themed/AccessibilityGuids.h"

namespace {

// ---- the GUIDs spelled out ----

TEST(AccessibilityGuidsTest, EachIsTheSdksOwn)
{
    EXPECT_TRUE(IsEqualGUID(IID_IAccessible, AccessibilityGuids::kIAccessible));
    EXPECT_TRUE(IsEqualGUID(CLSID_AccPropServices, AccessibilityGuids::kAccPropServicesClass));
    EXPECT_TRUE(IsEqualGUID(IID_IAccPropServices, AccessibilityGuids::kIAccPropServices));
    EXPECT_TRUE(IsEqualGUID(PROPID_ACC_NAME, AccessibilityGuids::kNameProperty));
    EXPECT_TRUE(IsEqualGUID(PROPID_ACC_ROLE, AccessibilityGuids::kRoleProperty));
}

class ComThread : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

// An IID that only compiled would make every QueryInterface fail; the
// system's own object for a window answers ours.
TEST_F(ComThread, TheSystemsObjectOfAWindowAnswersOurIAccessible)
{
    HWND window = CreateWindowExW(0, L"Static", L"Named", WS_POPUP, 0, 0, 50, 20, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    IAccessible* object = nullptr;
    ASSERT_EQ(S_OK, CreateStdAccessibleObject(window, OBJID_CLIENT,
                                              AccessibilityGuids::kIAccessible,
                                              reinterpret_cast<void**>(&object)));
    IAccessible* again = nullptr;
    EXPECT_EQ(S_OK, object->QueryInterface(AccessibilityGuids::kIAccessible,
                                           reinterpret_cast<void**>(&again)));
    if (again)
        again->Release();
    object->Release();
    DestroyWindow(window);
}

TEST_F(ComThread, TheAnnotationServiceComesWithOurClassAndInterface)
{
    CAccessibleNames names;
    EXPECT_TRUE(names.HasService());
}

// ---- the name of a box's line ----

TEST(AccessibleNamesTest, ALineIsNamedByItsLabelWithoutTheColon)
{
    EXPECT_EQ(L"Press Global Hotkey", CAccessibleNames::NameOfLine(L"Press Global Hotkey:"));
    EXPECT_EQ(L"Open Specified File", CAccessibleNames::NameOfLine(L"Open Specified File: "));
    EXPECT_EQ(L"Auto Startup", CAccessibleNames::NameOfLine(L"Auto Startup"));
}

TEST(AccessibleNamesTest, ANameReadsAsTheLabelShows)
{
    EXPECT_EQ(L"Press Left & Right Buttons",
              CAccessibleNames::NameOfLine(L"Press Left && Right Buttons"));
    EXPECT_EQ(L"File", CAccessibleNames::NameOfLine(L"&File:"));
    EXPECT_EQ(L"", CAccessibleNames::NameOfLine(L"&"));
    EXPECT_EQ(L"", CAccessibleNames::NameOfLine(nullptr));
}

TEST(AccessibleNamesTest, AConfirmationIsToldApartFromItsEntry)
{
    EXPECT_EQ(L"Switch to Virtual Desk (confirm)",
              CAccessibleNames::ConfirmationOf(L"Switch to Virtual Desk"));
}

// ---- what the pages give ----

// What a page gave, by the control's id; shared with the test, which keeps
// it after the page has let the names go.
struct Given {
    std::map<int, std::wstring> names;
    std::map<int, long> roles;
    bool takenBack = false;
};

class RecordingNames : public IAccessibleNames {
public:
    explicit RecordingNames(std::shared_ptr<Given> given) : m_given(std::move(given)) {}
    ~RecordingNames() override { m_given->takenBack = true; }

    void Name(HWND control, const wchar_t* name) override
    {
        m_given->names[GetDlgCtrlID(control)] = name;
    }
    void Role(HWND control, long role) override { m_given->roles[GetDlgCtrlID(control)] = role; }

private:
    std::shared_ptr<Given> m_given;
};

class PageNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                 531, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
    }
    void TearDown() override { DestroyWindow(parent); }

    AccessibleNamesFactory Recorder()
    {
        return [given = given] { return std::make_unique<RecordingNames>(given); };
    }

    HWND parent = nullptr;
    std::shared_ptr<Given> given = std::make_shared<Given>();
    CSettingsRecord settings;
};

TEST_F(PageNamesTest, BasicPageNamesEachBoxAfterItsLineAndTellsTheConfirmationsApart)
{
    CBasicSettingsDlg page(Recorder());
    ASSERT_NE(nullptr, page.CreatePage(parent, 1, settings));
    EXPECT_EQ((std::map<int, std::wstring>{
                  {IDC_SW_HOTKEY, L"Press Global Hotkey"},
                  {IDC_SS_HOTKEY, L"Hotkey for Settings Dialog"},
                  {IDC_PWD_ORIG, L"Switch to Original Desk"},
                  {IDC_PWD_ORIG_CONFIRM, L"Switch to Original Desk (confirm)"},
                  {IDC_PWD_VIRT, L"Switch to Virtual Desk"},
                  {IDC_PWD_VIRT_CONFIRM, L"Switch to Virtual Desk (confirm)"},
              }),
              given->names);
    page.DestroyWindow();
}

// The template's "SW", "SYS" and "PWD" would be read out as their names.
TEST_F(PageNamesTest, BasicPageIconsAreNamelessPictures)
{
    CBasicSettingsDlg page(Recorder());
    ASSERT_NE(nullptr, page.CreatePage(parent, 1, settings));
    for (int icon : {IDC_SECTION_ICON, IDC_SYSTEM_ICON, IDC_PASSWORD_ICON}) {
        EXPECT_EQ(ROLE_SYSTEM_GRAPHIC, given->roles[icon]) << icon;
        EXPECT_EQ(0, GetWindowTextLengthW(GetDlgItem(page.m_hWnd, icon))) << icon;
    }
    page.DestroyWindow();
}

TEST_F(PageNamesTest, AdvancedPageNamesItsFourBoxes)
{
    CAdvancedSettingsDlg page(nullptr, nullptr, nullptr, Recorder());
    ASSERT_NE(nullptr, page.CreatePage(parent, 2, settings));
    EXPECT_EQ((std::map<int, std::wstring>{
                  {IDC_AC_FILE_PATH, L"Open Specified File"},
                  {IDC_AC_WEBSITE_URL, L"Open Specified Website"},
                  {IDC_AC_PROCESSES, L"Terminate Processes"},
                  {IDC_AC_WINDOWS_TITLE, L"Close Windows With Title"},
              }),
              given->names);
    EXPECT_EQ(ROLE_SYSTEM_GRAPHIC, given->roles[IDC_SECTION_ICON]);
    page.DestroyWindow();
}

TEST_F(PageNamesTest, AboutPageMarksItsPictures)
{
    CAboutDlg page(Recorder());
    ASSERT_NE(nullptr, page.CreatePage(parent, 3, settings));
    EXPECT_EQ((std::map<int, long>{{IDC_ABOUT_NAME, ROLE_SYSTEM_GRAPHIC},
                                   {IDC_ABOUT_LOGO, ROLE_SYSTEM_GRAPHIC}}),
              given->roles);
    page.DestroyWindow();
}

// Taken back while the controls still exist: the system cannot tell a later
// window that gets the same handle from them.
TEST_F(PageNamesTest, ThePageTakesItsNamesBackWhenItIsDestroyed)
{
    CBasicSettingsDlg page(Recorder());
    ASSERT_NE(nullptr, page.CreatePage(parent, 1, settings));
    EXPECT_FALSE(given->takenBack);
    page.DestroyWindow();
    EXPECT_TRUE(given->takenBack);
}

}  // namespace
