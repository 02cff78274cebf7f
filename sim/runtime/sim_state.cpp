// The simulated runtime's process-wide state.
#include "sim_state.h"

#include <cstring>

namespace sim {

State& state() {
    static State instance;
    return instance;
}

// Until a HAP is opened the runtime knows only its own parameters and the debug entries.
State::State() { models.push_back(std::make_unique<const DesignModel>(std::vector<DesignRow>{})); }

void State::useDesign(std::vector<DesignRow> rows) {
    if (rows == model().designRows()) return;
    const DesignModel& old = model();
    auto next = std::make_unique<const DesignModel>(std::move(rows));
    for (auto& entry : boards) {
        BoardValues& board = entry.second;
        BoardValues carried(*next);
        for (std::size_t i = 0; i < carried.values.size(); ++i) {
            const int32_t before = old.indexOfAnyName(next->parameters()[i].name);
            if (before >= 0) carried.values[i] = board.values[static_cast<std::size_t>(before)];
        }
        carried.injectedPixels = board.injectedPixels;
        board = std::move(carried);
    }
    models.push_back(std::move(next));
}

InnerHandle* State::inner(const void* handle) {
    const auto found = innerHandles.find(handle);
    return found == innerHandles.end() ? nullptr : found->second.get();
}

SimCall& State::record(const char* function, const void* handle) {
    SimCall seed;
    std::memset(&seed, 0, sizeof seed);
    copyText(seed.function, sizeof seed.function, function);
    seed.handle = const_cast<void*>(handle);
    return keep(seed);
}

SimCall& State::keep(const SimCall& seed) {
    if (!recording) {
        unrecorded = seed;
        return unrecorded;
    }
    calls.push_back(seed);
    return calls.back();
}

uint64_t hardwareOfBoard(uint32_t boardIndex) { return 0x0B0A4D0000000000ULL + (uint64_t{boardIndex} << 8) + 1; }

void copyText(char* field, std::size_t size, const char* text) {
    if (size == 0) return;
    std::size_t length = text == nullptr ? 0 : std::strlen(text);
    if (length >= size) length = size - 1;
    if (length > 0) std::memcpy(field, text, length);
    field[length] = '\0';
}

}  // namespace sim
