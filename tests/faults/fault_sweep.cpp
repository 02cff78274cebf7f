// The sweep driver and the plans of the stand-ins behind one interface. The allocation plan is in
// allocation_plan.cpp, which replaces the executable's allocation functions.
#include "fault_sweep.h"


#include "allocation_plan.h"

namespace faults {
namespace {

// A sweep that needs more places than this is not finishing: every run meets a failure.
constexpr uint64_t kMostPlaces = 100000;
// Failed checks reported in full per process; the rest only count.
constexpr int kReportedFailures = 20;
int reportedFailures = 0;

int32_t runtimeKind(Kind kind) {
    return kind == Kind::NxWrite ? SIM_FAULT_NX_WRITE : kind == Kind::NxRead ? SIM_FAULT_NX_READ : SIM_FAULT_RUNTIME_CALL;
}

}  // namespace

const char* nameOf(Kind kind) {
    switch (kind) {
        case Kind::NxWrite: return "NX write";
        case Kind::NxRead: return "NX read";
        case Kind::RuntimeCall: return "runtime call";
        case Kind::RegisterAccess: return "register access";
        case Kind::HapCall: return "HAP call";
        case Kind::Allocation: return "allocation";
    }
    return "?";
}

void plan(Kind kind, uint64_t nth, bool persistent) {
    switch (kind) {
        case Kind::RegisterAccess: SimHw_PlanFault(nth, persistent ? 1 : 0, kInjected); break;
        case Kind::HapCall: SimHap_PlanFault(nth, persistent ? 1 : 0); break;
        case Kind::Allocation: allocation::plan(nth, persistent); break;
        default: SimCtl_PlanFault(runtimeKind(kind), nth, persistent ? 1 : 0, kInjected); break;
    }
}

uint64_t calls(Kind kind) {
    switch (kind) {
        case Kind::RegisterAccess: return SimHw_FaultCalls();
        case Kind::HapCall: return SimHap_FaultCalls();
        case Kind::Allocation: return allocation::calls();
        default: return SimCtl_FaultCalls(runtimeKind(kind));
    }
}

void clearPlans() {
    for (const Kind kind : kStandInKinds) plan(kind, 0, false);
    if (allocationsPlanned()) plan(Kind::Allocation, 0, false);
}

std::string what(const std::string& operation, Kind kind, uint64_t nth, bool persistent) {
    return operation + ", " + nameOf(kind) + " " + std::to_string(nth) + (persistent ? " on" : " once");
}

bool allocationsPlanned() { return allocation::available(); }

Tally::~Tally() {
    std::printf("fault sweep: %s: %llu operations, %llu faults tried, %llu survived\n", operation.c_str(),
                static_cast<unsigned long long>(runs), static_cast<unsigned long long>(tried),
                static_cast<unsigned long long>(survived));
    std::fflush(stdout);
}

bool Verdict::expect(bool condition, const std::string& what) {
    if (condition) return true;
    passed_ = false;
    if (reportedFailures++ < kReportedFailures) ADD_FAILURE() << context_ << ": " << what;
    else if (reportedFailures == kReportedFailures + 1) ADD_FAILURE() << "further failed checks are not shown";
    return false;
}

uint64_t sweep(Tally& tally, Kind kind, const Attempt& attempt) {
    uint64_t places = 0;
    for (const bool persistent : {false, true}) {
        uint64_t nth = 1;
        for (; nth <= kMostPlaces; ++nth) {
            const Attempted run = attempt(kind, nth, persistent);
            if (!run.reachedFault) break;
            ++tally.tried;
            if (run.survived) ++tally.survived;
        }
        if (nth > kMostPlaces) ADD_FAILURE() << tally.operation << ": every run met a failure of " << nameOf(kind);
        places = nth - 1;
    }
    return places;
}

}  // namespace faults
