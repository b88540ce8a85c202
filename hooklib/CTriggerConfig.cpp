#include "CTriggerConfig.h"

namespace {
constexpr uint32_t kShiftBit = 1u << 8;
constexpr uint32_t kCtrlBit = 1u << 9;
constexpr uint32_t kAltBit = 1u << 10;
}

void CTriggerConfig::SetMiddleButton(bool on) { m_middleButton.store(on); }

void CTriggerConfig::SetBothButtons(bool on) { m_bothButtons.store(on); }

void CTriggerConfig::SetHotKey(uint8_t key, bool shift, bool ctrl, bool alt)
{
    uint32_t packed = key;
    if (key != 0) {
        packed |= (shift ? kShiftBit : 0) | (ctrl ? kCtrlBit : 0) | (alt ? kAltBit : 0);
    }
    m_hotKey.store(packed);
}

TriggerSettings CTriggerConfig::Snapshot() const
{
    TriggerSettings s;
    s.middleButton = m_middleButton.load();
    s.bothButtons = m_bothButtons.load();
    const uint32_t packed = m_hotKey.load();
    s.key = static_cast<uint8_t>(packed & 0xFF);
    s.shift = (packed & kShiftBit) != 0;
    s.ctrl = (packed & kCtrlBit) != 0;
    s.alt = (packed & kAltBit) != 0;
    return s;
}
