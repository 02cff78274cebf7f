// The event thread: waits in short steps so that it ends soon after it is asked to, and takes
// what occurred between two waits as well (FG_EVENT_WAIT_SINCE_LAST).
#include "event_log.h"

#include "orvanta/runtime.h"

namespace orvanta_tool::view {

namespace {

constexpr uint32_t kWaitMs = 100;
constexpr size_t kKept = 1024;

}  // namespace

EventLog::EventLog(void* fg) : fg_(fg) {
    for (int32_t bit = 0; bit < 64; ++bit) {
        const char* name = Fg_getEventName(fg, uint64_t{1} << bit);
        if (name == nullptr) continue;
        names_.push_back({bit, name});
        mask_ |= uint64_t{1} << bit;
    }
    if (mask_ != 0) thread_ = std::thread([this] { run(); });
}

EventLog::~EventLog() {
    shutdown();
    if (thread_.joinable()) thread_.join();
}

void EventLog::shutdown() {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
    arrived_.notify_all();
}

void EventLog::run() {
    // The names by bit, so that a record points at its name.
    std::vector<const std::string*> byBit(64, nullptr);
    for (const EventName& name : names_) byBit[static_cast<size_t>(name.bit)] = &name.name;
    Fg_EventInfo info{};
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (quit_) return;
        }
        info.version = 1;
        const uint64_t bits = Fg_eventWait(fg_, mask_, kWaitMs, FG_EVENT_WAIT_SINCE_LAST, &info);
        if (bits == 0) continue;
        std::lock_guard<std::mutex> lock(mutex_);
        // The info holds one timestamp and data word per bit that occurred, in bit order.
        uint32_t slot = 0;
        for (int32_t bit = 0; bit < 64; ++bit) {
            if ((bits >> bit & 1) == 0) continue;
            const bool described = slot < info.count && slot < 64;
            const std::string* name = byBit[static_cast<size_t>(bit)];
            if (name != nullptr) {
                add({0, bit, name, described ? info.timestampNs[slot] : 0, described ? info.data[slot] : 0, nullptr});
            }
            ++slot;
        }
        arrived_.notify_all();
    }
}

void EventLog::add(EventRecord record) {
    record.serial = ++serial_;
    records_.push_back(std::move(record));
    if (records_.size() > kKept) records_.pop_front();
}

void EventLog::noteChanges(std::string changes) {
    std::lock_guard<std::mutex> lock(mutex_);
    add({0, -1, nullptr, 0, 0, std::make_shared<const std::string>(std::move(changes))});
    arrived_.notify_all();
}

uint64_t EventLog::lastSerial() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return serial_;
}

std::vector<EventRecord> EventLog::after(uint64_t serial, size_t limit, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait_for(lock, timeout, [&] { return quit_ || serial_ > serial; });
    std::vector<EventRecord> records;
    if (quit_) return records;
    for (const EventRecord& record : records_) {
        if (record.serial <= serial) continue;
        records.push_back(record);
        if (records.size() == limit) break;
    }
    return records;
}

}  // namespace orvanta_tool::view
