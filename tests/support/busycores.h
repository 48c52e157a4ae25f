#pragma once
// Threads that spin on their cores for as long as the object lives: a loaded machine, the kind
// on which a session switch and a flood of frames were seen to go wrong.

#include <atomic>
#include <thread>
#include <vector>

class BusyCores {
public:
    explicit BusyCores(unsigned count)
    {
        for (unsigned i = 0; i < count; ++i)
            threads_.emplace_back([this] {
                unsigned long spin = 0;
                while (!stop_.load(std::memory_order_relaxed))
                    spin = spin * 2654435761u + 1;
                sink_.fetch_add(spin, std::memory_order_relaxed);
            });
    }
    ~BusyCores()
    {
        stop_ = true;
        for (std::thread &t : threads_)
            t.join();
    }
    BusyCores(const BusyCores &) = delete;
    BusyCores &operator=(const BusyCores &) = delete;

    // One a core, at least one.
    static unsigned cores()
    {
        const unsigned n = std::thread::hardware_concurrency();
        return n == 0 ? 1 : n;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<unsigned long> sink_{0};
    std::vector<std::thread> threads_;
};
