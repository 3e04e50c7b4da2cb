// Collector pause benchmark: a heap of about a million small objects in linked chains, a tenth
// of them replaced every frame, one collection step per frame (as the frame loop does).
// Prints the median and longest step, the steps per full cycle and the peak heap.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/gc.h"

namespace {

class Node : public Object {
public:
    gc_ref<Node> next;
    int payload = 0;
    void mark() override { gc_mark_field(next); }
};

class Heap : public Object {
public:
    Array<gc_ref<Node>> chains;
    void mark() override { gc_mark_field(chains); }
};

gc_ref<Heap> g_heap;

struct Options {
    int chains = 1000;
    int chain_length = 1000;
    int frames = 600;
    double replaced_fraction = 0.10;
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const double value = std::atof(argv[i + 1]);
        if (key == "--chains") o.chains = static_cast<int>(value);
        if (key == "--length") o.chain_length = static_cast<int>(value);
        if (key == "--frames") o.frames = static_cast<int>(value);
        if (key == "--replace") o.replaced_fraction = value;
    }
    return o;
}

long PeakRssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

unsigned g_seed = 1234;
int RandomBelow(int n) {
    g_seed = g_seed * 1664525u + 1013904223u;
    return static_cast<int>((g_seed >> 8) % static_cast<unsigned>(n));
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
    return v[index];
}

}  // namespace

int main(int argc, char** argv) {
    const Options opt = ParseOptions(argc, argv);
    gc_init1();
    gc_add_root(g_heap);

    // nodes[c * length + k] is the k-th node of chain c; the benchmark's own index, outside
    // the collected heap, so it can find a node's predecessor.
    std::vector<Node*> nodes(static_cast<std::size_t>(opt.chains) * opt.chain_length);
    g_heap = gc_new<Heap>();
    g_heap->chains = Array<gc_ref<Node>>(opt.chains);
    for (int c = 0; c < opt.chains; ++c) {
        Node* prev = nullptr;
        for (int k = 0; k < opt.chain_length; ++k) {
            Node* n = gc_new<Node>();
            nodes[static_cast<std::size_t>(c) * opt.chain_length + k] = n;
            if (prev) {
                prev->next = n;
            } else {
                g_heap->chains[c] = n;
            }
            prev = n;
        }
    }
    gc_mark();

    const int total = opt.chains * opt.chain_length;
    const int replaced_per_frame = static_cast<int>(total * opt.replaced_fraction);
    std::vector<double> step_us;
    std::vector<double> full_step_us;
    std::vector<int> cycle_lengths;
    int steps_in_cycle = 0;
    int markbit = gc_markbit;
    long long flips = 0;
    double mutate_us_total = 0;

    using Clock = std::chrono::steady_clock;
    for (int frame = 0; frame < opt.frames; ++frame) {
        const auto mutate_start = Clock::now();
        for (int r = 0; r < replaced_per_frame; ++r) {
            const int c = RandomBelow(opt.chains);
            const int k = RandomBelow(opt.chain_length);
            const std::size_t at = static_cast<std::size_t>(c) * opt.chain_length + k;
            Node* fresh = gc_new<Node>();
            fresh->payload = frame;
            fresh->next = nodes[at]->next;
            if (k == 0) {
                g_heap->chains[c] = fresh;
            } else {
                nodes[at - 1]->next = fresh;
            }
            nodes[at] = fresh;
        }
        mutate_us_total +=
            std::chrono::duration<double, std::micro>(Clock::now() - mutate_start).count();

        const int fresh_bytes = gc_alloced_bytes - gc_last_swept_bytes;
        const auto start = Clock::now();
        gc_collect();
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        step_us.push_back(us);
        if (fresh_bytes > kGcFullCycleThresholdBytes) full_step_us.push_back(us);
        ++steps_in_cycle;
        if (gc_markbit != markbit) {
            markbit = gc_markbit;
            ++flips;
            cycle_lengths.push_back(steps_in_cycle);
            steps_in_cycle = 0;
        }
    }

    std::printf("heap: %d objects of %d bytes in %d chains; %d replaced per frame; %d frames\n",
                total, static_cast<int>(nodes[0]->gc_size()), opt.chains, replaced_per_frame,
                opt.frames);
    std::printf("step time: median %.1f us, p99 %.1f us, longest %.1f us\n",
                Percentile(step_us, 0.5), Percentile(step_us, 0.99),
                *std::max_element(step_us.begin(), step_us.end()));
    if (!full_step_us.empty()) {
        std::printf("full (over 64 MiB) steps: %zu, median %.1f us, longest %.1f us\n",
                    full_step_us.size(), Percentile(full_step_us, 0.5),
                    *std::max_element(full_step_us.begin(), full_step_us.end()));
    }
    if (!cycle_lengths.empty()) {
        double sum = 0;
        for (int n : cycle_lengths) sum += n;
        std::printf("cycles completed: %lld, steps per full cycle: mean %.1f, min %d, max %d\n",
                    flips, sum / static_cast<double>(cycle_lengths.size()),
                    *std::min_element(cycle_lengths.begin(), cycle_lengths.end()),
                    *std::max_element(cycle_lengths.begin(), cycle_lengths.end()));
    } else {
        std::printf("cycles completed: 0\n");
    }
    std::printf("mutator: %.1f us per frame (allocation incl. lazy destruction, barriers)\n",
                mutate_us_total / opt.frames);
    std::printf("peak heap: gc_max_alloced_bytes %.1f MiB, peak RSS %.1f MiB\n",
                gc_max_alloced_bytes / 1048576.0, PeakRssKiB() / 1024.0);
    return 0;
}
