// The GUIDs of Microsoft Active Accessibility that Quillow uses, spelled out.
// MinGW's import libraries export these as data (IID_IAccessible from
// liboleacc.a among them); linked without __declspec(dllimport) the name
// resolves to an import thunk instead of the GUID, everything compiles, and
// every QueryInterface answers E_NOINTERFACE. The values are checked
// against the SDK's headers in a unit test.
#pragma once

#include <windows.h>

namespace AccessibilityGuids {

// {618736E0-3C3D-11CF-810C-00AA00389B71}
inline constexpr IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
// {B5F8350B-0548-48B1-A6EE-88BD00B4A5E7}
inline constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
// {6E26E776-04F0-495D-80E4-3330352E3169}
inline constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
// PROPID_ACC_NAME, {608D3DF8-8128-4AA7-A428-F55E49267291}
inline constexpr GUID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
// PROPID_ACC_ROLE, {CB905FF2-7BD1-4C05-B3C8-E6C241364D70}
inline constexpr GUID kRoleProperty = {
    0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

}  // namespace AccessibilityGuids
