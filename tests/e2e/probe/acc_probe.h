// What an assistive tool reads from a window, through oleacc's client calls.
#pragma once

#include <windows.h>

// The window's client object (AccessibleObjectFromWindow, OBJID_CLIENT): a
// line "count|HR|N" with its child count, a line for the object itself and
// one for each child 1..N, as "WHO|KIND|NAME|ROLE|STATE|DEFAULT ACTION".
// WHO is "self" or the child's number; KIND is "self", "element" (a simple
// child, get_accChild answered S_FALSE), "object" (a child object of its
// own) or "hr=0x..." when get_accChild failed. A call that fails shows as
// "!0x..." in its field. Exit code 1 when there is no object.
int PrintAccessible(HWND window);

// accDoDefaultAction on a child of the window's client object.
int DoDefaultAction(HWND window, long child);
