#include "CSiblingPath.h"

bool CSiblingPath::Make(const wchar_t* fileName, wchar_t* path, DWORD capacity)
{
    if (capacity == 0)
        return false;
    const DWORD length = GetModuleFileNameW(nullptr, path, capacity);
    // capacity itself means the path was cut.
    if (length == 0 || length >= capacity) {
        path[0] = L'\0';
        return false;
    }
    DWORD folder = length;
    while (folder > 0 && path[folder - 1] != L'\\' && path[folder - 1] != L'/')
        --folder;
    DWORD nameChars = 0;
    while (fileName[nameChars])
        ++nameChars;
    // The name and its closing zero.
    if (folder + nameChars + 1 > capacity) {
        path[0] = L'\0';
        return false;
    }
    for (DWORD i = 0; i <= nameChars; ++i)
        path[folder + i] = fileName[i];
    return true;
}
