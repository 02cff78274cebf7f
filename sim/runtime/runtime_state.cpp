// The simulated runtime's process-wide state.
#include "runtime_state.h"

#include "acquisition.h"

namespace sim {

State& state() {
    static State instance;
    return instance;
}

State::~State() {
#if defined(_WIN32)
    // At process exit Windows has ended the other threads before it unloads libraries, maybe
    // inside the mutex: nothing is left to stop or wait for. An unload before the exit finds no
    // producer, as Fg_FreeGrabber retires them.
    for (auto& entry : innerHandles) {
        std::thread& producer = entry.second->acquisition.producer;
        if (producer.joinable()) producer.detach();
    }
    if (clockThread.joinable()) {
        // A board was left open. The thread ended inside its wait still counts as a waiter,
        // and destroying a condition with waiters never returns there: it is left behind.
        clockThread.detach();
        static_cast<void>(clockWake.release());
    }
#else
    std::vector<std::thread> producers;
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (auto& entry : innerHandles) producers.push_back(retireAcquisition(*this, *entry.second, lock));
        ending = true;
        clockWake->notify_all();
    }
    producers.push_back(std::move(clockThread));
    for (std::thread& producer : producers) {
        if (producer.joinable()) producer.join();
    }
#endif
}

InnerHandle* State::inner(const void* handle) {
    if (handle != nullptr && handle == lastInnerKey) return lastInner;
    const auto found = innerHandles.find(handle);
    if (found == innerHandles.end()) return nullptr;
    lastInnerKey = handle;
    lastInner = found->second.get();
    return lastInner;
}

QuickCalls quickCalls;

void State::controlChanged() { quickCalls.quiet.store(control.quiet(), std::memory_order_release); }

void QuickCalls::list(InnerHandle* handle) {
    for (std::atomic<InnerHandle*>& slot : slots) {
        if (slot.load(std::memory_order_relaxed) == nullptr) {
            slot.store(handle, std::memory_order_release);
            return;
        }
    }
}

void QuickCalls::unlist(InnerHandle* handle) {
    for (std::atomic<InnerHandle*>& slot : slots) {
        if (slot.load(std::memory_order_relaxed) == handle) slot.store(nullptr, std::memory_order_release);
    }
}

FrameMemory* State::memory(const void* handle) {
    const auto found = memories.find(handle);
    return found == memories.end() ? nullptr : found->second.get();
}

uint64_t hardwareOfBoard(uint32_t boardIndex) { return 0x0B0A4D0000000000ULL + (uint64_t{boardIndex} << 8) + 1; }

}  // namespace sim
