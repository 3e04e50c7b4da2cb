// Collector-managed objects and the incremental mark-and-sweep collector.
//
// Objects are never deleted by hand: they are created with gc_new<T>(...) and reclaimed by the
// collector, which runs one bounded step between application hooks. The collector never scans
// the stack, so every reference that must keep an object alive lives in a gc_ref<T> field,
// an Array element or a registered root global; gc_ref's assignment is the write barrier.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

class String;
class gc_object;

// Mark state lives in the low two bits of gc_object::flags, the block size above them.
constexpr int kGcStateMask = 3;
// Objects in this state are never traced or freed (the static empty arrays).
constexpr int kGcStatePermanent = 3;

class gc_object {
public:
    gc_object* succ;
    gc_object* pred;
    int flags;

    // Links the block just handed out by gc_malloc onto the unmarked list. Header fields are
    // written here rather than in gc_malloc because the block's storage only becomes this
    // object when construction starts.
    gc_object() noexcept;
    gc_object(const gc_object&) noexcept : gc_object() {}
    gc_object& operator=(const gc_object&) noexcept { return *this; }
    virtual ~gc_object() = default;

    virtual void mark() {}

    int gc_size() const { return flags & ~kGcStateMask; }

    // Builds an object outside the collector's lists (list heads, static empty arrays).
    struct Detached {};
    constexpr explicit gc_object(Detached, int state) noexcept
        : succ(this), pred(this), flags(state) {}
};

class Object : public gc_object {
public:
    // Identity, not value equality: the language compares references.
    virtual bool Equals(Object* other);
    // An arbitrary but stable order: the difference of the two addresses.
    virtual int Compare(Object* other);
    virtual String debug();
};

// ---- collector state ----
extern gc_object gc_queued_list;
extern gc_object gc_unmarked_list;
extern gc_object gc_marked_list;
extern gc_object gc_free_list;
constexpr int kGcCacheSlots = 8;
constexpr int kGcCachedMaxBytes = 56;
// The largest block gc_malloc can describe: sizes live in an int, rounded up to 8.
constexpr std::size_t kGcMaxBlockBytes = 0x7FFFFFF8;
extern gc_object* gc_cache[kGcCacheSlots];
extern int gc_markbit;
extern int gc_alloced_bytes;
extern int gc_max_alloced_bytes;
extern int gc_marked_bytes;
extern int gc_marked_objs;
extern int gc_free_bytes;
extern int gc_last_swept_bytes;
extern bool gc_force_sweep;

// Tuning that the host and tests rely on.
constexpr int kGcMarkBudgetObjects = 2500;
constexpr int kGcSweepThresholdBytes = 4 * 1024 * 1024;
constexpr int kGcFullCycleThresholdBytes = 64 * 1024 * 1024;

// ---- collector functions ----
void gc_init1();  // empties the four lists (objects already on them are forgotten)
void* gc_malloc(int size);
// For sizes an int cannot carry (an absurd array length): a runtime error, never a short block.
[[noreturn]] void gc_refuse_allocation(double bytes);
void gc_free(gc_object* p);
void gc_flush_free(int bytes);
void gc_collect();
void gc_mark();  // queues every registered root

inline bool gc_is_unreached(const gc_object* p) {
    return (p->flags & kGcStateMask) == gc_markbit;
}

void gc_remove_from_list(gc_object* p);
void gc_insert_before(gc_object* p, gc_object* succ);

inline void gc_queue(gc_object* p) {
    if (p && gc_is_unreached(p)) {
        p->flags ^= 1;
        gc_remove_from_list(p);
        gc_insert_before(p, &gc_queued_list);
    }
}

void gc_mark_now(gc_object* p);
template <class T>
inline void gc_mark(T* p) {
    gc_mark_now(p);
}
template <class T>
inline void gc_mark_array(int n, T* const* elements) {
    for (int i = 0; i < n; ++i) gc_mark(elements[i]);
}

// The write barrier: the stored object is queued so incremental marking cannot miss it.
template <class T, class U>
inline void gc_assign(T*& field, U* value) {
    gc_queue(value);
    field = value;
}

// Creates a collector-managed object. Fields that have no initialiser start zeroed.
template <class T, class... A>
T* gc_new(A&&... args) {
    static_assert(std::is_base_of<gc_object, T>::value, "gc_new makes collector objects only");
    void* mem = gc_malloc(static_cast<int>(sizeof(T)));
    if constexpr (sizeof...(A) == 0) {
        return new (mem) T;
    } else {
        return new (mem) T(std::forward<A>(args)...);
    }
}

// A reference held in a field, array element or global. Every assignment runs the write
// barrier, so a store between collection steps can never hide an object from the collector.
template <class T>
class gc_ref {
public:
    gc_ref() = default;
    gc_ref(std::nullptr_t) {}
    gc_ref(T* p) { assign(p); }
    gc_ref(const gc_ref& other) { assign(other.p_); }
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    gc_ref(const gc_ref<U>& other) {
        assign(other.get());
    }
    // Destruction happens only when the holder is garbage or a local goes away: no barrier.
    ~gc_ref() = default;

    gc_ref& operator=(T* p) {
        assign(p);
        return *this;
    }
    gc_ref& operator=(const gc_ref& other) {
        assign(other.p_);
        return *this;
    }
    gc_ref& operator=(std::nullptr_t) {
        p_ = nullptr;
        return *this;
    }

    T* get() const { return p_; }
    operator T*() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    void assign(T* p) {
        gc_queue(p);
        p_ = p;
    }
    T* p_ = nullptr;
};

template <class T>
inline void gc_queue(const gc_ref<T>& ref) {
    gc_queue(ref.get());
}
template <class T>
inline void gc_mark(const gc_ref<T>& ref) {
    gc_mark_now(ref.get());
}
// What a class's mark() calls for each reference field (gc_ref or Array).
template <class T>
inline void gc_mark_field(const gc_ref<T>& ref) {
    gc_queue(ref.get());
}

// ---- roots ----
// A root is a global whose referent must stay alive; gc_mark() queues roots in registration
// order. Registering the same global twice has no effect.
using gc_root_fn = void (*)(const void* global);
void gc_add_root(gc_root_fn queue_fn, const void* global);
void gc_remove_root(const void* global);
int gc_root_count();

template <class T>
void gc_add_root(const gc_ref<T>& global) {
    gc_add_root([](const void* g) { gc_queue(static_cast<const gc_ref<T>*>(g)->get()); }, &global);
}

// Array roots and gc_mark_field for arrays are in runtime/array.h.

#include "runtime/string.h"
