// Input the probe injects, watches and times on a desktop of its choice.
#pragma once

// Mouse moves injected every 20 ms for the given time. Each is timed from
// SendInput to the return of the probe's own hook's CallNextHookEx, and the
// longest CallNextHookEx, the answer of the hooks after the probe's, is
// printed as well. Prints the figures.
int TimeHookAnswers(const wchar_t* desktop, unsigned long milliseconds);

// A window on the desktop that prints every mouse-button and key message it
// receives, one a line, for the given time.
int LogInput(const wchar_t* desktop, unsigned long milliseconds);

// Runs a script of input steps: on:DESKTOP, at:X,Y, mouse:ldown|lup|rdown|
// rup|mdown|mup, key:VK:down|up, repeat:VK:COUNT:MS, until-file:PATH:VK:MS
// (key-down repeats until the file exists), wait-file:PATH, sleep:MS.
int InjectInput(int count, wchar_t** steps);
