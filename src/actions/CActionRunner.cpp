#include "CActionRunner.h"

// No action exists yet: every point runs nothing, which is also what a user
// with every option turned off gets.
void CActionRunner::BeforeEntering() {}

void CActionRunner::AfterEntering(const wchar_t*) {}

void CActionRunner::AfterLeaving() {}
