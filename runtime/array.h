// Fixed-length, collector-managed arrays. An Array<T> is a one-word handle to a representation
// (a gc_object followed by the length and the elements). Every zero-length array of one element
// type shares a single static representation that the collector never traces or frees.
// Elements are accessed without a bounds test.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>

#include "runtime/gc.h"
#include "runtime/slice_range.h"

template <class T>
class Array;

namespace gc_detail {

// Arrays of references trace their elements; arrays of values and strings have nothing to trace.
template <class T>
inline void MarkElement(const T&) {}
template <class T>
inline void MarkElement(const gc_ref<T>& ref) {
    gc_mark_now(ref.get());
}
template <class T>
inline void MarkElement(const Array<T>& array);

template <class T>
struct HoldsReferences : std::false_type {};
template <class T>
struct HoldsReferences<gc_ref<T>> : std::true_type {};
template <class T>
struct HoldsReferences<Array<T>> : std::true_type {};

}  // namespace gc_detail

template <class T>
class Array {
public:
    class Rep : public gc_object {
    public:
        int length;

        static constexpr std::size_t DataOffset() {
            return (sizeof(Rep) + alignof(T) - 1) / alignof(T) * alignof(T);
        }
        T* data() { return reinterpret_cast<T*>(reinterpret_cast<char*>(this) + DataOffset()); }
        const T* data() const {
            return reinterpret_cast<const T*>(reinterpret_cast<const char*>(this) + DataOffset());
        }

        static Rep* Create(int n) {
            if (n <= 0) return Empty();
            const std::size_t bytes = DataOffset() + sizeof(T) * static_cast<std::size_t>(n);
            if (bytes > kGcMaxBlockBytes) gc_refuse_allocation(static_cast<double>(bytes));
            Rep* created = new (gc_malloc(static_cast<int>(bytes))) Rep(n);
            T* elements = created->data();
            for (int i = 0; i < n; ++i) new (elements + i) T();
            return created;
        }
        static Rep* Empty() {
            static Rep empty{gc_object::Detached{}};
            return &empty;
        }

        ~Rep() override {
            if constexpr (!std::is_trivially_destructible<T>::value) {
                T* elements = data();
                for (int i = 0; i < length; ++i) elements[i].~T();
            }
        }

        void mark() override {
            if constexpr (gc_detail::HoldsReferences<T>::value) {
                const T* elements = data();
                for (int i = 0; i < length; ++i) gc_detail::MarkElement(elements[i]);
            }
        }

    private:
        explicit Rep(int n) : length(n) {}
        explicit Rep(gc_object::Detached d) : gc_object(d, kGcStatePermanent), length(0) {}
    };

    Array() : rep_(Rep::Empty()) {}
    explicit Array(int length) : rep_(Rep::Create(length)) {}
    // Copies run the write barrier, so a handle stored in a field can never be missed.
    Array(const Array& other) : rep_(other.rep_) { gc_queue(rep_); }
    Array& operator=(const Array& other) {
        gc_queue(other.rep_);
        rep_ = other.rep_;
        return *this;
    }
    ~Array() = default;

    int Length() const { return rep_->length; }
    T& operator[](int i) { return rep_->data()[i]; }
    const T& operator[](int i) const { return rep_->data()[i]; }
    T* Data() { return rep_->data(); }
    const T* Data() const { return rep_->data(); }
    T* begin() { return Data(); }
    T* end() { return Data() + Length(); }
    const T* begin() const { return Data(); }
    const T* end() const { return Data() + Length(); }

    // A new array holding elements [from, to), clamped as strings slice.
    Array Slice(int from, int to) const {
        const SliceRange range = ClampSlice(from, to, Length());
        if (range.Empty()) return Array();
        Array result(range.to - range.from);
        for (int i = range.from; i < range.to; ++i) result[i - range.from] = (*this)[i];
        return result;
    }

    Rep* rep() const { return rep_; }

private:
    Rep* rep_;
};

template <class T>
inline void gc_queue(const Array<T>& array) {
    gc_queue(array.rep());
}
template <class T>
inline void gc_mark(const Array<T>& array) {
    gc_mark_now(array.rep());
}
template <class T>
inline void gc_mark_field(const Array<T>& array) {
    gc_queue(array.rep());
}

template <class T>
void gc_add_root(const Array<T>& global) {
    gc_add_root([](const void* g) { gc_queue(static_cast<const Array<T>*>(g)->rep()); }, &global);
}

namespace gc_detail {
template <class T>
inline void MarkElement(const Array<T>& array) {
    gc_mark_now(array.rep());
}
}  // namespace gc_detail
