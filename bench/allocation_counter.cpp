// Every allocation of the process passes through these definitions, which
// take the place of the C library's and hand over to its allocator.

#include "allocation_counter.h"

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
}

namespace {

std::atomic<std::uint64_t> counted{0};

}  // namespace

extern "C" void* malloc(std::size_t size)
{
    counted.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size)
{
    counted.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size)
{
    counted.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

namespace xk83t_bench {

std::uint64_t allocations()
{
    return counted.load(std::memory_order_relaxed);
}

bool counting_allocations()
{
    return true;
}

}  // namespace xk83t_bench
