// Counts every heap allocation of the process (every malloc and operator new) while
// g_counting is set. Included by exactly one file of a benchmark program: it defines the
// process's malloc.
#pragma once

#include <atomic>
#include <cstddef>
#include <new>

// ---- The allocation-counting hook ---------------------------------------------------------
// Every C allocation and every operator new of the process passes here; the counter only runs
// while g_counting is set.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t n, size_t size);
extern "C" void* __libc_realloc(void* p, size_t size);
extern "C" void __libc_free(void* p);

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
std::atomic<long> g_allocatedBytes{0};

inline void Note(size_t size) {
    if (g_counting.load(std::memory_order_relaxed)) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
        g_allocatedBytes.fetch_add(static_cast<long>(size), std::memory_order_relaxed);
    }
}
}  // namespace

extern "C" void* malloc(size_t size) {
    Note(size);
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t n, size_t size) {
    Note(n * size);
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t size) {
    Note(size);
    return __libc_realloc(p, size);
}
extern "C" void free(void* p) {
    __libc_free(p);
}
void* operator new(size_t size) {
    if (void* p = malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}
