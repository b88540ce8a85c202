#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What the Apply command reads from the advanced settings page.
class IAdvancedPageReader {
public:
    virtual DWORD IsChecked(int checkBoxId) const = 0;
    // At most 259 characters.
    virtual void ReadText(int editId, wchar_t (&text)[260]) const = 0;
    // The page's own list: what was typed into the box does not count.
    virtual const std::vector<std::wstring>& Processes() const = 0;

protected:
    ~IAdvancedPageReader() = default;
};
