// The runtime's handle table, process-wide: the boards by hardware handle, the inner handles and
// the application handles, and the global last error. A call finds its board here and takes
// that board's lock; the table's own locks are held only for the lookup, never around a board's.
//
// An inner handle is no address: its value packs a slot of the table and the slot's generation
// (and a tag in the low bits that no aligned address has), so that a handle closed long ago, or
// one whose slot a newer handle took, is told apart from a stray pointer, and neither reaches
// anything freed. An application handle is the address of the runtime's record, since the applet
// reads its first field; the table knows the live records and counts the calls inside each, so
// that closing one waits for them.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "board/board.h"

namespace sim {

// The runtime's record of an application's handle. The applet reads and writes only the first
// pointer-sized field.
struct AppHandle {
    void* wrapper = nullptr;
    uint32_t boardIndex = 0;
    void* applet = nullptr;        // the applet module the calls are routed to
    Board* board = nullptr;
    const void* inner = nullptr;   // the inner handle the applet opened for it, if any
    uint32_t calls = 0;            // calls inside the applet or a handler (the table's lock)
    bool closed = false;           // freed by the last call to leave (the table's lock)
};

class HandleTable {
public:
    static constexpr size_t kMaxBoards = 256;
    using BoardList = std::array<Board*, kMaxBoards>;

    HandleTable() = default;
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;
    // Stops what still runs on the boards (an unload with boards left open).
    ~HandleTable();

    // The board of a hardware handle, made at its first use; null once kMaxBoards are made.
    Board* board(uint64_t hardware);
    // The boards made so far, into `list`; answers how many.
    size_t boards(BoardList& list) const;

    // A new inner handle value for a handle on `board`.
    const void* openInner(Board& board);
    // The value is closed: its slot goes to the next open with a new generation.
    void closeInner(const void* value);
    // The board of an open inner handle, or null with SIM_ERR_INVALID_HANDLE for a value that was
    // never an inner handle, SIM_ERR_HANDLE_CLOSED for one that was closed.
    Board* innerBoard(const void* value, int32_t& error) const;
    // Whether the value has the form of an inner handle (as no application handle has).
    static bool looksInner(const void* value);
    size_t openInnerCount() const;

    void addApplication(AppHandle* app);
    // The live application record fg, with one call counted in; null when fg is none.
    AppHandle* enterApplication(const void* fg);
    void leaveApplication(AppHandle* app);
    // Takes the record out: no call enters it any more. False when fg is no live record.
    bool retireApplication(AppHandle* app);
    // Waits until no call but `own` is inside the retired record.
    void waitForCalls(AppHandle* app, uint32_t own);
    // The retired record is closed: freed now, or by the last call inside it (a handler that
    // closed its own handle) when it leaves.
    void releaseApplication(AppHandle* app);

    std::atomic<int32_t> globalLastError{0};

private:
    struct Slot {
        uint32_t generation = 0;  // of the newest handle in the slot
        bool open = false;
        Board* board = nullptr;
    };

    mutable std::mutex boardsMutex_;
    std::map<uint64_t, std::unique_ptr<Board>> byHardware_;

    mutable std::shared_mutex slotsMutex_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> freeSlots_;
    size_t openInner_ = 0;

    std::mutex appsMutex_;
    std::condition_variable appCallsDone_;
    std::map<const void*, AppHandle*> apps_;
};

HandleTable& handles();

// The hardware handle of board `boardIndex`, as Std_entry receives it.
uint64_t hardwareOfBoard(uint32_t boardIndex);

}  // namespace sim
