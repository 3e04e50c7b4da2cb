// The incremental collector. Objects move between four lists: queued (reached, children not yet
// traced), unmarked (not reached this cycle; new objects start here), marked (reached and
// traced) and free (garbage waiting to be destroyed by later allocations).
#include "runtime/gc.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/string.h"

gc_object gc_queued_list{gc_object::Detached{}, kGcStatePermanent};
gc_object gc_unmarked_list{gc_object::Detached{}, kGcStatePermanent};
gc_object gc_marked_list{gc_object::Detached{}, kGcStatePermanent};
gc_object gc_free_list{gc_object::Detached{}, kGcStatePermanent};
gc_object* gc_cache[kGcCacheSlots];
int gc_markbit = 1;
int gc_alloced_bytes;
int gc_max_alloced_bytes;
int gc_marked_bytes;
int gc_marked_objs;
int gc_free_bytes;
int gc_last_swept_bytes;
bool gc_force_sweep;

namespace {

// The block gc_malloc handed out last, and the header its constructor must write.
void* pending_block;
gc_object* pending_pred;
int pending_flags;

struct Root {
    gc_root_fn queue_fn;
    const void* global;
};

std::vector<Root>& Roots() {
    static std::vector<Root> roots;
    return roots;
}

bool ListIsEmpty(const gc_object& head) {
    return head.succ == &head;
}

void MakeEmpty(gc_object& head) {
    head.succ = &head;
    head.pred = &head;
}

// Moves every object of `from` to the tail of `to`, leaving `from` empty.
void SpliceAll(gc_object& from, gc_object& to) {
    if (ListIsEmpty(from)) return;
    gc_object* first = from.succ;
    gc_object* last = from.pred;
    gc_object* tail = to.pred;
    tail->succ = first;
    first->pred = tail;
    last->succ = &to;
    to.pred = last;
    MakeEmpty(from);
}

// Every block must at least hold the header gc_malloc writes into it, however small the request.
constexpr int kGcMinBlockBytes = (static_cast<int>(sizeof(gc_object)) + 7) & ~7;

int RoundToBlock(int size) {
    if (size < kGcMinBlockBytes) return kGcMinBlockBytes;
    return (size + 7) & ~7;
}

// A recycled block is raw memory, no longer an object: the cache link lives in its first word.
void*& CacheLink(void* block) {
    return *static_cast<void**>(block);
}

void ReleaseBlock(void* block, int size) {
    if (block == pending_block) pending_block = nullptr;
    if (size <= kGcCachedMaxBytes) {
        gc_object*& top = gc_cache[size / 8];
        CacheLink(block) = top;
        top = static_cast<gc_object*>(block);
    } else {
        std::free(block);
    }
}

void* TakeBlock(int size) {
    if (size <= kGcCachedMaxBytes && gc_cache[size / 8]) {
        void* block = gc_cache[size / 8];
        gc_cache[size / 8] = static_cast<gc_object*>(CacheLink(block));
        return block;
    }
    void* block = std::malloc(static_cast<std::size_t>(size));
    if (!block) dbg_error("Out of memory");
    return block;
}

// Destroys one object already unlinked from the free list.
void Destroy(gc_object* p) {
    const int size = p->gc_size();
    // Lowered before the destructor runs so a destructor that allocates sees a consistent count.
    gc_free_bytes -= size;
    p->~gc_object();
    ReleaseBlock(p, size);
}

void TraceOne(gc_object* p) {
    gc_remove_from_list(p);
    gc_insert_before(p, &gc_marked_list);
    gc_marked_bytes += p->gc_size();
    ++gc_marked_objs;
    p->mark();
}

void Sweep() {
    // A new cycle starts even when nothing is left unreached. Objects that died after being
    // reached (replaced while this cycle ran, or stored through the barrier and dropped again)
    // are only found by the next cycle; skipping the flip here would let such a heap grow
    // without bound while every sweep finds the unmarked list empty.
    SpliceAll(gc_unmarked_list, gc_free_list);
    gc_free_bytes += gc_alloced_bytes - gc_marked_bytes;
    SpliceAll(gc_marked_list, gc_unmarked_list);
    gc_alloced_bytes = gc_marked_bytes;
    gc_marked_bytes = 0;
    gc_marked_objs = 0;
    gc_markbit ^= 1;
    gc_mark();
    gc_last_swept_bytes = gc_alloced_bytes;
}

}  // namespace

gc_object::gc_object() noexcept {
    if (this == pending_block) {
        succ = &gc_unmarked_list;
        pred = pending_pred;
        flags = pending_flags;
        pending_block = nullptr;
    } else {
        // Not from gc_malloc (a local or static object): keep it off the lists for good.
        succ = this;
        pred = this;
        flags = kGcStatePermanent;
    }
}

bool Object::Equals(Object* other) {
    return this == other;
}

int Object::Compare(Object* other) {
    return static_cast<int>(reinterpret_cast<const char*>(this) -
                            reinterpret_cast<const char*>(other));
}

String Object::debug() {
    return T("+Object\n");
}

void gc_init1() {
    MakeEmpty(gc_queued_list);
    MakeEmpty(gc_unmarked_list);
    MakeEmpty(gc_marked_list);
    MakeEmpty(gc_free_list);
}

void gc_remove_from_list(gc_object* p) {
    p->pred->succ = p->succ;
    p->succ->pred = p->pred;
}

void gc_insert_before(gc_object* p, gc_object* succ) {
    p->succ = succ;
    p->pred = succ->pred;
    succ->pred->succ = p;
    succ->pred = p;
}

void* gc_malloc(int size) {
    if (size > static_cast<int>(kGcMaxBlockBytes)) gc_refuse_allocation(size);
    size = RoundToBlock(size);
    gc_flush_free(size);
    void* block = TakeBlock(size);
    std::memset(block, 0, static_cast<std::size_t>(size));

    // The block joins the tail of the unmarked list now; its own header is written by the
    // gc_object constructor, which runs next, because only then is the block an object.
    gc_object* tail = gc_unmarked_list.pred;
    auto* header = static_cast<gc_object*>(block);
    tail->succ = header;
    gc_unmarked_list.pred = header;

    pending_block = block;
    pending_pred = tail;
    pending_flags = gc_markbit | size;

    gc_alloced_bytes += size;
    gc_max_alloced_bytes = std::max(gc_max_alloced_bytes, gc_alloced_bytes);
    return block;
}

void gc_refuse_allocation(double bytes) {
    ConsoleLinef("ERROR: refused a block of %.0f bytes", bytes);
    dbg_error("Out of memory");
}

void gc_free(gc_object* p) {
    const int size = p->gc_size();
    gc_free_bytes -= size;
    ReleaseBlock(p, size);
}

void gc_flush_free(int bytes) {
    const int target = std::max(gc_free_bytes - bytes, 0);
    while (gc_free_bytes > target) {
        gc_object* p = gc_free_list.succ;
        if (p == &gc_free_list) {
            ConsoleLinef("ERROR:p=%p gc_free_bytes=%i", static_cast<void*>(p), gc_free_bytes);
            gc_free_bytes = 0;
            return;
        }
        gc_remove_from_list(p);
        Destroy(p);
    }
}

void gc_mark_now(gc_object* p) {
    if (p && gc_is_unreached(p)) {
        p->flags ^= 1;
        TraceOne(p);
    }
}

void gc_collect() {
    const int fresh = gc_alloced_bytes - gc_last_swept_bytes;
    const bool full = gc_force_sweep || fresh > kGcFullCycleThresholdBytes;
    const int budget_end = gc_marked_objs + kGcMarkBudgetObjects;

    while (!ListIsEmpty(gc_queued_list) && (full || gc_marked_objs < budget_end)) {
        TraceOne(gc_queued_list.succ);
    }
    const bool queue_drained = ListIsEmpty(gc_queued_list);
    if (queue_drained && (full || fresh > kGcSweepThresholdBytes)) Sweep();

    if (gc_force_sweep) {
        gc_flush_free(gc_free_bytes);
        gc_force_sweep = false;
    }
}

void gc_mark() {
    for (const Root& root : Roots()) root.queue_fn(root.global);
}

void gc_add_root(gc_root_fn queue_fn, const void* global) {
    auto& roots = Roots();
    const bool known = std::any_of(roots.begin(), roots.end(),
                                   [global](const Root& r) { return r.global == global; });
    if (!known) roots.push_back(Root{queue_fn, global});
}

void gc_remove_root(const void* global) {
    auto& roots = Roots();
    roots.erase(std::remove_if(roots.begin(), roots.end(),
                               [global](const Root& r) { return r.global == global; }),
                roots.end());
}

int gc_root_count() {
    return static_cast<int>(Roots().size());
}
