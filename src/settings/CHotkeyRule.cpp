#include "settings/CHotkeyRule.h"

namespace {

struct KeyRange {
    UINT first;
    UINT last;
};

// The ASCII aliases of punctuation (0x2C, 0x2F, 0x3B, 0x3D, 0x5B to 0x5D)
// are named as punctuation, so they are judged as what they show: 0x2C is
// Print Screen to Windows, but a box that shows "," must not take a comma.
constexpr KeyRange kTypingKeys[] = {
    {VK_BACK, VK_TAB},         {VK_RETURN, VK_RETURN},     {VK_ESCAPE, VK_ESCAPE},
    {VK_SPACE, VK_SPACE},      {0x2C, 0x2C},               {0x2F, 0x39},
    {0x3B, 0x3B},              {0x3D, 0x3D},               {0x41, 0x5D},
    {VK_NUMPAD0, VK_DIVIDE},   {VK_OEM_1, VK_OEM_3},       {VK_OEM_4, VK_OEM_8},
    {VK_OEM_102, VK_OEM_102},
};

}  // namespace

bool CHotkeyRule::TypesText(UINT key)
{
    for (const KeyRange& range : kTypingKeys) {
        if (key >= range.first && key <= range.last)
            return true;
    }
    return false;
}

bool CHotkeyRule::IsAllowed(const CHotkeyCode& code)
{
    if (code.key == 0 || code.ctrl || code.alt)
        return true;
    return !TypesText(code.key);
}
