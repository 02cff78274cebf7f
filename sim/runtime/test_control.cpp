// The runtime's call log and injected failures.
#include "test_control.h"

#include <cstring>

namespace sim {
namespace {

int32_t failureOf(const std::map<std::string, int32_t>& failures, const std::string& name) {
    const auto found = failures.find(name);
    return found == failures.end() ? 0 : found->second;
}

}  // namespace

SimCall& TestControl::record(const char* function, const void* handle) {
    SimCall seed;
    std::memset(&seed, 0, sizeof seed);
    copyText(seed.function, sizeof seed.function, function);
    seed.handle = const_cast<void*>(handle);
    return keep(seed);
}

SimCall& TestControl::keep(const SimCall& seed) {
    if (!recording) return unrecorded;
    calls.push_back(seed);
    return calls.back();
}

const InjectedCall* TestControl::injected(const char* function) const {
    const auto found = failedCalls.find(function);
    return found == failedCalls.end() ? nullptr : &found->second;
}

int32_t TestControl::failedWrite(const std::string& name) const { return failureOf(failedNxWrites, name); }
int32_t TestControl::failedRead(const std::string& name) const { return failureOf(failedNxReads, name); }

void TestControl::reset() {
    calls.clear();
    hiddenNames.clear();
    failedNxWrites.clear();
    failedNxReads.clear();
    failedCalls.clear();
    failedInit = 0;
    recording = true;
    loopingDescription = false;
}

void copyText(char* field, std::size_t size, const char* text) {
    if (size == 0) return;
    std::size_t length = text == nullptr ? 0 : std::strlen(text);
    if (length >= size) length = size - 1;
    if (length > 0) std::memcpy(field, text, length);
    field[length] = '\0';
}

}  // namespace sim
