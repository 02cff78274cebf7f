// Start-up of one wrapper object, in its fixed order; a failed step destroys the object.
#include "wrapper/startup.h"

#include <exception>
#include <memory>
#include <new>
#include <string>

#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"
#include "platform/environment.h"
#include "wrapper/fg_nx_wrapper_impl.h"
#include "wrapper/hap_image.h"

namespace vexo::wrapper {

namespace {

constexpr const char* kRuntimeFileName = "rtcore5.dll";
constexpr uint32_t kSkipInitialValues = 1u << 0;
// The meaning of this argument of the HAP runtime's open calls is the HAP runtime's own.
constexpr int32_t kHapOpenFlag = 1;

// Developers point the applet at a HAP file by defining the variable, with any value, even
// an empty one; the file name is left for the HAP runtime to resolve.
void* openHap() {
    std::string ignored;
    if (templates::platform::getEnvironment("__VEXO_FORCE_EXTERNAL_HAP", ignored)) {
        return Hap_OpenFile(kHapName, kBoardType, kHapOpenFlag);
    }
    return Hap_OpenImage(orvanta_hap_image, kHapImageSize, kHapOpenFlag);
}

std::unique_ptr<FgNxWrapperImpl> createWrapper() {
    try {
        return std::make_unique<FgNxWrapperImpl>(1);
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace

FgNxWrapper* startApplet(uint64_t hardwareHandle, int32_t* errorCell, uint32_t flags) {
    int32_t localCell = 0;
    int32_t& error = errorCell != nullptr ? *errorCell : localCell;

    std::unique_ptr<FgNxWrapperImpl> wrapper = createWrapper();
    if (wrapper == nullptr) return nullptr;

    void* hap = nullptr;
    try {
        error = wrapper->loadRuntime(kRuntimeFileName);
        if (error != errors::kSuccess) return nullptr;

        hap = openHap();
        if (hap == nullptr) {
            error = errors::kHapNotOpened;
            return nullptr;
        }
        error = wrapper->openInnerHandle(kHapName, hardwareHandle, hap, flags);
        if (error != errors::kSuccess) {
            Hap_Release(hap);
            return nullptr;
        }
        wrapper->recordHandles(hardwareHandle, hap);

        applet::Board& board = wrapper->board();
        board.buildRegistry();
        board.resolveNxIds();
        wrapper->buildParameterInfo();
        board.createDebugEntries();
        if ((flags & kSkipInitialValues) == 0) board.applyInitialValues();
    } catch (const std::bad_alloc&) {
        // Memory ran out part way: the board is left as a failed step leaves it, with nothing of
        // it open, rather than with an inner handle or a HAP that nobody could close any more.
        wrapper->closeInnerHandle();
        // A HAP the wrapper has recorded is released with it.
        if (hap != nullptr && wrapper->hapHandle() != hap) Hap_Release(hap);
        error = errors::kHapNotOpened;
        return nullptr;
    }
    return wrapper.release();
}

}  // namespace vexo::wrapper
