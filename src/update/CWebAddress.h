#pragma once

// Whether an address the maker's server sent may reach the shell. Kept
// apart from the prompt so that the decision refuses to store what the
// prompt would refuse to open, and so that it builds natively for fuzzing.
class CWebAddress {
public:
    // Only a plain web address: the address came over unencrypted HTTP, and
    // anything else (a path, file:, javascript:, a registered protocol)
    // could start a program on this machine.
    static bool IsPlain(const wchar_t* address);
};
