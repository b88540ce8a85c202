#pragma once

#include <atomic>
#include <memory>

// A value one thread replaces while others read it. Readers get an immutable
// snapshot that stays valid for as long as they hold it, however often the
// writer replaces the value meanwhile: no torn reads, no freed strings.
template <class T>
class CSnapshot {
public:
    CSnapshot() : m_value(std::make_shared<const T>()) {}
    CSnapshot(const CSnapshot&) = delete;
    CSnapshot& operator=(const CSnapshot&) = delete;

    std::shared_ptr<const T> Get() const { return m_value.load(); }
    void Set(T value) { m_value.store(std::make_shared<const T>(std::move(value))); }

private:
    std::atomic<std::shared_ptr<const T>> m_value;
};
