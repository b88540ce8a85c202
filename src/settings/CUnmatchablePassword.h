#pragma once

#include <windows.h>

#include "app/CSettingsRecord.h"

// What a ticked password box holds when its stored password cannot be had:
// missing, empty, too long for its field or of the wrong type. Counting it
// as no password would open a direction the user meant to guard, so the
// direction stays guarded by a password that no answer matches. The user
// sets it again in the settings window, which never asks for it.
class CUnmatchablePassword {
public:
    // Fifteen characters: the prompt takes at most fourteen, so no answer
    // can equal it, and the page's boxes, which take no more, never show it.
    // Made of noncharacters, which no keyboard types, should either ever
    // take more. Never stored: the save keeps the value that was there.
    static const wchar_t* Text();
    static bool Is(const wchar_t* password);

    // What the user is told once, at start, about the passwords of record;
    // nullptr when both were read.
    static const wchar_t* NoticeFor(const CSettingsRecord& record);
};
