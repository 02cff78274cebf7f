// The board's events as they come: a thread of its own waits for every event the applet names
// (Fg_eventWait) and keeps the latest occurrences, numbered, for the viewers' event streams.
// Parameter changes that one viewer made go into the same stream, so that every page shows them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanta_tool::view {

struct EventName {
    int32_t bit;
    std::string name;
};

struct EventRecord {
    uint64_t serial;  // from 1, in the order the server saw them
    int32_t bit;
    const std::string* name;  // the log's own, valid as long as it lives; null for changes
    uint64_t timestampNs;     // the board clock at the event's latest occurrence
    uint64_t data;
    std::shared_ptr<const std::string> changes;  // parameters a viewer changed, as a JSON array
};

class EventLog {
public:
    explicit EventLog(void* fg);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    const std::vector<EventName>& names() const { return names_; }
    // The records after `serial` (at most `limit`), waiting up to `timeout` for one; empty on
    // time-out or shutdown. Records the log no longer keeps are skipped.
    std::vector<EventRecord> after(uint64_t serial, size_t limit, std::chrono::milliseconds timeout) const;
    uint64_t lastSerial() const;
    // Parameters that a write or a load changed (a JSON array of their entries).
    void noteChanges(std::string changes);
    void shutdown();  // ends every wait, now and from now on

private:
    void run();
    void add(EventRecord record);  // under the lock

    void* fg_;
    std::vector<EventName> names_;
    uint64_t mask_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::deque<EventRecord> records_;
    uint64_t serial_ = 0;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace orvanta_tool::view
