#include "ui/themed/CFadeStateButtonCtrl.h"

CFadeStateButtonCtrl::~CFadeStateButtonCtrl()
{
    // The window must not outlive the object its procedure calls into.
    if (IsWindow())
        DestroyWindow();
}
