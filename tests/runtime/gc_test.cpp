#include "runtime/gc.h"

#include <gtest/gtest.h>

#include "runtime/array.h"
#include "runtime/string.h"
#include "tests/runtime/console_capture.h"

namespace {

int g_destroyed = 0;

class Node : public Object {
public:
    gc_ref<Node> next;
    int id = 0;
    ~Node() override { ++g_destroyed; }
    void mark() override { gc_mark_field(next); }
};

class Holder : public Object {
public:
    Array<int> numbers;
    Array<gc_ref<Node>> nodes;
    void mark() override {
        gc_mark_field(numbers);
        gc_mark_field(nodes);
    }
};

gc_ref<Node> g_root;

bool OnList(const gc_object& head, const gc_object* p) {
    for (const gc_object* o = head.succ; o != &head; o = o->succ) {
        if (o == p) return true;
    }
    return false;
}

int ListLength(const gc_object& head) {
    int n = 0;
    for (const gc_object* o = head.succ; o != &head; o = o->succ) ++n;
    return n;
}

// Every test starts from an empty heap with only g_root registered, and leaves nothing behind.
class Collector : public testing::Test {
protected:
    void SetUp() override {
        DestroyEverything();
        g_root = nullptr;
        gc_add_root(g_root);
        g_destroyed = 0;
    }
    void TearDown() override {
        g_root = nullptr;
        DestroyEverything();
        gc_remove_root(&g_root);
    }

    static void DestroyEverything() {
        for (gc_object* head : {&gc_queued_list, &gc_unmarked_list, &gc_marked_list}) {
            while (head->succ != head) {
                gc_object* p = head->succ;
                gc_remove_from_list(p);
                gc_insert_before(p, &gc_free_list);
                gc_free_bytes += p->gc_size();
            }
        }
        gc_flush_free(gc_free_bytes);
        gc_init1();
        gc_alloced_bytes = gc_marked_bytes = gc_marked_objs = gc_free_bytes = 0;
        gc_last_swept_bytes = 0;
        gc_force_sweep = false;
    }

    // Ends the current cycle at once: trace everything queued, sweep, destroy the garbage.
    static void FullCycle() {
        gc_force_sweep = true;
        gc_collect();
    }

    static Node* NewNode(int id) {
        Node* n = gc_new<Node>();
        n->id = id;
        return n;
    }
};

TEST_F(Collector, NewObjectsStartUnreachedOnTheUnmarkedList) {
    Node* n = NewNode(1);
    EXPECT_TRUE(gc_is_unreached(n));
    EXPECT_TRUE(OnList(gc_unmarked_list, n));
    EXPECT_EQ(gc_alloced_bytes, n->gc_size());
    EXPECT_EQ(n->gc_size() % 8, 0);
}

TEST_F(Collector, UnconstructedFieldsStartZeroed) {
    struct Plain : Object {
        int count;
        float speed;
    };
    Plain* p = gc_new<Plain>();
    EXPECT_EQ(p->count, 0);
    EXPECT_EQ(p->speed, 0.0f);
}

TEST_F(Collector, ObjectStoredThroughTheBarrierBetweenStepsSurvives) {
    g_root = NewNode(0);
    gc_mark();
    gc_collect();  // the root is traced now: a later store into it would be missed without a
                   // barrier
    ASSERT_FALSE(gc_is_unreached(g_root));
    ASSERT_TRUE(OnList(gc_marked_list, g_root));

    Node* child = NewNode(1);
    NewNode(2);  // garbage, so the sweep has something to free
    g_root->next = child;
    FullCycle();

    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(g_root->next->id, 1);
    // And it stays reachable through the root in the next cycle.
    FullCycle();
    EXPECT_EQ(g_destroyed, 1);
}

TEST_F(Collector, RootsAreQueuedInRegistrationOrderAndOnlyOnce) {
    static gc_ref<Node> second;
    const int before = gc_root_count();
    gc_add_root(second);
    gc_add_root(second);
    EXPECT_EQ(gc_root_count(), before + 1);
    g_root = NewNode(1);
    second = NewNode(2);
    gc_mark();
    ASSERT_EQ(ListLength(gc_queued_list), 2);
    EXPECT_EQ(static_cast<Node*>(gc_queued_list.succ)->id, 1);
    gc_remove_root(&second);
    EXPECT_EQ(gc_root_count(), before);
    second = nullptr;
}

TEST_F(Collector, GarbageIsDestroyedLazilyByLaterAllocations) {
    g_root = NewNode(0);
    gc_mark();
    for (int i = 0; i < 4; ++i) NewNode(100 + i);  // garbage
    // Push the heap past the sweep threshold so an ordinary step sweeps.
    { Array<int> big(kGcSweepThresholdBytes / 4 + 16); }
    gc_collect();
    // The sweep started the next cycle: the root is queued again, nothing else survived.
    ASSERT_EQ(ListLength(gc_unmarked_list), 0);
    ASSERT_EQ(ListLength(gc_queued_list), 1);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_GT(gc_free_bytes, kGcSweepThresholdBytes);

    const int pending = gc_free_bytes;
    NewNode(1);  // destroys garbage worth at least its own size: the first dead node
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(gc_free_bytes, pending - g_root->gc_size());
}

TEST_F(Collector, ForcedStepDestroysAllPendingGarbage) {
    g_root = NewNode(0);
    gc_mark();
    for (int i = 0; i < 10; ++i) NewNode(i + 1);
    { Array<String> texts(3); }
    FullCycle();
    EXPECT_EQ(g_destroyed, 10);
    EXPECT_EQ(gc_free_bytes, 0);
    EXPECT_EQ(ListLength(gc_free_list), 0);
    EXPECT_FALSE(gc_force_sweep);
    EXPECT_EQ(gc_alloced_bytes, g_root->gc_size());
}

TEST_F(Collector, ObjectsDroppedAfterBeingReachedAreFreedByTheNextCycle) {
    g_root = NewNode(0);
    g_root->next = NewNode(1);
    gc_mark();
    gc_collect();  // root and child traced
    // Replace the child: the old one is already reached, so this cycle cannot free it, and
    // the new one was queued by the store, so nothing at all is left unreached.
    g_root->next = NewNode(2);
    FullCycle();
    EXPECT_EQ(g_destroyed, 0);
    FullCycle();
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(g_root->next->id, 2);
}

TEST_F(Collector, SteadyHeapBelowThresholdNeverSweeps) {
    g_root = NewNode(0);
    gc_mark();
    NewNode(1);  // garbage
    for (int i = 0; i < 5; ++i) gc_collect();
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(gc_free_bytes, 0);
    EXPECT_EQ(ListLength(gc_free_list), 0);
}

TEST_F(Collector, AStepTracesAtMostTheBudget) {
    g_root = NewNode(0);
    Node* tail = g_root;
    const int chain = 2 * kGcMarkBudgetObjects + 100;
    for (int i = 1; i <= chain; ++i) {
        tail->next = NewNode(i);
        tail = tail->next;
    }
    gc_mark();

    // Every store above queued its node, so the whole chain waits in the queue.
    ASSERT_EQ(ListLength(gc_queued_list), chain + 1);
    gc_collect();
    EXPECT_EQ(gc_marked_objs, kGcMarkBudgetObjects);
    EXPECT_EQ(ListLength(gc_queued_list), chain + 1 - kGcMarkBudgetObjects);
    gc_collect();
    EXPECT_EQ(gc_marked_objs, 2 * kGcMarkBudgetObjects);
    gc_collect();
    EXPECT_EQ(gc_marked_objs, chain + 1);
    EXPECT_EQ(ListLength(gc_queued_list), 0);
    EXPECT_EQ(ListLength(gc_unmarked_list), 0);
}

TEST_F(Collector, ForcedStepIgnoresTheBudget) {
    g_root = NewNode(0);
    Node* tail = g_root;
    for (int i = 1; i <= 3 * kGcMarkBudgetObjects; ++i) {
        tail->next = NewNode(i);
        tail = tail->next;
    }
    NewNode(-1);  // garbage
    gc_mark();
    FullCycle();
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(ListLength(gc_unmarked_list) + ListLength(gc_queued_list),
              3 * kGcMarkBudgetObjects + 1);
}

TEST_F(Collector, ZeroLengthArraysAreSharedAndNeverCollected) {
    Array<int> a;
    Array<int> b(0);
    EXPECT_EQ(a.rep(), b.rep());
    EXPECT_NE(static_cast<void*>(Array<float>().rep()), static_cast<void*>(a.rep()));
    EXPECT_EQ(a.rep()->flags & kGcStateMask, kGcStatePermanent);

    Holder* h = gc_new<Holder>();
    g_root = NewNode(0);
    gc_mark();
    h->numbers = a;
    FullCycle();
    FullCycle();
    EXPECT_EQ(Array<int>().rep(), a.rep());
    EXPECT_EQ(a.Length(), 0);
    EXPECT_FALSE(OnList(gc_free_list, a.rep()));
    EXPECT_FALSE(OnList(gc_unmarked_list, a.rep()));
}

TEST_F(Collector, ArrayElementsAndArrayFieldsKeepObjectsAlive) {
    g_root = NewNode(0);
    gc_mark();
    gc_collect();

    struct Owner : Node {
        Array<gc_ref<Node>> kids;
        void mark() override {
            Node::mark();
            gc_mark_field(kids);
        }
    };
    Owner* owner = gc_new<Owner>();
    owner->kids = Array<gc_ref<Node>>(3);
    owner->kids[1] = NewNode(7);
    g_root->next = owner;
    NewNode(-1);  // garbage
    FullCycle();
    EXPECT_EQ(g_destroyed, 1);
    FullCycle();
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(owner->kids[1]->id, 7);
    EXPECT_EQ(owner->kids[0], nullptr);
}

TEST_F(Collector, DestroyedStringArraysReleaseTheirElements) {
    const String text = T("counted");
    g_root = NewNode(0);
    gc_mark();
    {
        Array<String> texts(2);
        texts[0] = text;
        texts[1] = text;
        EXPECT_EQ(text.rep()->refs, 3);
    }
    FullCycle();
    EXPECT_EQ(text.rep()->refs, 1);
}

TEST_F(Collector, RequestsRoundUpToEightByteBlocksThatHoldTheHeader) {
    const int header = static_cast<int>(sizeof(gc_object));
    const int smallest = (header + 7) / 8 * 8;
    for (const auto& [request, block] :
         {std::pair{1, smallest}, {header + 1, smallest + 8}, {56, 56}, {57, 64}, {100, 104}}) {
        // The bare header is the smallest object there is; it is left as garbage.
        gc_object* p = new (gc_malloc(request)) gc_object;
        EXPECT_EQ(p->gc_size(), block) << request;
    }
}

TEST_F(Collector, SmallBlocksAreRecycledLargeOnesAreNot) {
    static_assert(sizeof(Node) <= kGcCachedMaxBytes, "a node must fit the small-block caches");
    g_root = NewNode(0);
    gc_mark();
    Node* dead = NewNode(1);
    const int slot = dead->gc_size() / 8;
    FullCycle();
    ASSERT_EQ(g_destroyed, 1);
    EXPECT_EQ(gc_cache[slot], dead);
    Node* again = NewNode(2);
    EXPECT_EQ(again, dead);  // the same block comes back
    g_root->next = again;

    struct Big : Object {
        char payload[40];
    };
    static_assert(sizeof(Big) > kGcCachedMaxBytes, "Big must be beyond the caches");
    gc_object* cache_before[kGcCacheSlots];
    std::copy(gc_cache, gc_cache + kGcCacheSlots, cache_before);
    gc_new<Big>();
    FullCycle();
    EXPECT_TRUE(std::equal(gc_cache, gc_cache + kGcCacheSlots, cache_before));
}

TEST_F(Collector, FlushingMoreThanTheFreeListHoldsReportsAndResets) {
    gc_free_bytes = 64;  // claims garbage that is not on the free list
    CaptureConsole();
    gc_flush_free(64);
    const std::string out = TakeConsoleOutput();
    EXPECT_EQ(out.rfind("ERROR:p=", 0), 0u);
    EXPECT_NE(out.find("gc_free_bytes=64\n"), std::string::npos);
    EXPECT_EQ(gc_free_bytes, 0);
}

TEST_F(Collector, ObjectsOutsideTheHeapStayOffTheLists) {
    Object local;
    EXPECT_EQ(local.flags & kGcStateMask, kGcStatePermanent);
    EXPECT_EQ(ListLength(gc_unmarked_list), 0);
    gc_queue(&local);
    EXPECT_EQ(ListLength(gc_queued_list), 0);
}

TEST_F(Collector, ObjectIdentityAndDebugText) {
    Node* a = NewNode(1);
    Node* b = NewNode(2);
    EXPECT_TRUE(a->Equals(a));
    EXPECT_FALSE(a->Equals(b));
    EXPECT_EQ(a->Compare(a), 0);
    EXPECT_EQ(a->Compare(b), -b->Compare(a));
    EXPECT_TRUE(a->debug() == T("+Object\n"));
}

}  // namespace
