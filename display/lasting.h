#pragma once

// Objects made once per process and never freed, on purpose: documents, and
// any copies of them a host keeps, point into them, possibly after this
// library has been unloaded. LeakSanitizer is told so; it would otherwise
// report them once the library is unloaded.

#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace xk83t {

template <typename T, typename... Args>
const T* make_lasting(Args&&... args)
{
    T* object = new T{std::forward<Args>(args)...};
#if defined(__SANITIZE_ADDRESS__)
    __lsan_ignore_object(object);
#endif
    return object;
}

}  // namespace xk83t
