#pragma once

#include <windows.h>

// When the watchdogs of this session started Quillow again lately, so that a
// Quillow that dies at once is not started for ever. Each watchdog ends once
// it has started the next Quillow, and that Quillow starts a watchdog of its
// own; the history goes along in the environment, which each inherits from
// the one that started it:
//     QUILLOW_WATCH_RESTARTS=<tick> <tick> <tick>
// with the system's millisecond tick count of each restart. Written without
// the C runtime, which the watchdog does not link.
class CRestartHistory {
public:
    static constexpr DWORD kMaxRestarts = 3;
    static constexpr ULONGLONG kWindowMs = 60 * 1000;
    static constexpr DWORD kTextChars = 64;
    static constexpr const wchar_t* kVariable = L"QUILLOW_WATCH_RESTARTS";

    // Reads the text; anything malformed or too long counts as no history.
    void Parse(const wchar_t* text);
    // Whether one more restart at `now` stays within the bound.
    bool Allows(ULONGLONG now) const;
    // Adds a restart at `now`, keeping the restarts of the last window only.
    void Record(ULONGLONG now);
    // The text to pass on; false if it does not fit, which it always does.
    bool Format(wchar_t* text, DWORD capacity) const;

    DWORD Count() const { return m_count; }

private:
    void DropOlderThan(ULONGLONG now);

    ULONGLONG m_ticks[kMaxRestarts] = {};
    DWORD m_count = 0;
};
