// What the C++ runtime would otherwise bring along for failures Quillow never
// catches. Nothing in Quillow throws or catches (it is built without
// exceptions), so each of these ends the program, as an exception that no
// one catches would: only without the exception machinery, the string and
// error classes it carries, and the symbol demangler that would print it to
// a stderr a windowed program does not have. Linked into Quillow.exe alone;
// the tests keep the stock runtime.
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void EndOnRuntimeFailure()
{
    abort();
}

}  // namespace

namespace std {

void __throw_bad_alloc() { EndOnRuntimeFailure(); }
void __throw_bad_array_new_length() { EndOnRuntimeFailure(); }
void __throw_bad_function_call() { EndOnRuntimeFailure(); }
void __throw_length_error(const char*) { EndOnRuntimeFailure(); }
void __throw_logic_error(const char*) { EndOnRuntimeFailure(); }
void __throw_out_of_range(const char*) { EndOnRuntimeFailure(); }
void __throw_out_of_range_fmt(const char*, ...) { EndOnRuntimeFailure(); }
void __throw_invalid_argument(const char*) { EndOnRuntimeFailure(); }

}  // namespace std

namespace __gnu_cxx {

void __verbose_terminate_handler() { EndOnRuntimeFailure(); }

}  // namespace __gnu_cxx

// Out of memory ends the program, as the uncaught bad_alloc did; the nothrow
// forms keep their promise of a null pointer.
void* operator new(std::size_t size)
{
    if (void* block = malloc(size ? size : 1))
        return block;
    EndOnRuntimeFailure();
}

void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
