#pragma once

#include <atomic>
#include <memory>

// A value one thread replaces while others read it. Readers get an immutable
// snapshot that stays valid for as long as they hold it, however often the
// writer replaces the value meanwhile: no torn reads, no freed strings.
template <class T>
class CSnapshot {
public:
    CSnapshot() : m_value(Made(T{})) {}
    CSnapshot(const CSnapshot&) = delete;
    CSnapshot& operator=(const CSnapshot&) = delete;

    std::shared_ptr<const T> Get() const { return m_value.load(); }
    void Set(T value) { m_value.store(Made(std::move(value))); }

private:
    // Not make_shared: built without type information, its control block
    // would bring the runtime's exception machinery along just to compare
    // type tags.
    static std::shared_ptr<const T> Made(T value)
    {
        return std::shared_ptr<const T>(new const T(std::move(value)));
    }

    std::atomic<std::shared_ptr<const T>> m_value;
};
