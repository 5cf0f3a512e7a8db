// Linked into setup.exe only. The program is built without exceptions, but the static C++
// runtime still reports a failed allocation or a broken container precondition by throwing,
// and its throwing helpers bring the exception machinery, the runtime's own char strings and
// their thread support along: most of the code the stub would otherwise carry. Here each of
// those failures ends the process at once, which is what an uncaught exception did before.

#include <cstddef>
#include <cstdlib>
#include <new>

// Allocation: plain malloc and free. The throwing forms end the process when memory runs out;
// the nothrow forms hand back null, as the callers that use them expect.
void* operator new(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) std::abort();
  return block;
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

// The library's failure hooks, every one its throwing helpers object defines, so that the
// object is never linked.
namespace std {
void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
}  // namespace std
