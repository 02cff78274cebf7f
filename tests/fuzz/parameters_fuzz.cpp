// Fuzz target: a sequence of parameter operations on one opened board with direct register and
// direct NX access on. Each operation is a write, a read, a string release or a description
// query, with an id drawn from the applet's own ids, the two direct-access ranges or junk, a
// type code, a DMA index and value bytes.
#include <cstdint>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "fuzz_board.h"
#include "fuzz_support.h"
#include "orvanta/parameter_info_node.h"
#include "test_process.h"

namespace {

constexpr int32_t kDebugSaveConfig = 900013;  // its value is a file name the runtime writes
constexpr int32_t kTypeAllocated = 22;
constexpr int32_t kTypeCodes[] = {2, 3, 4, 5, 6, kTypeAllocated};
// Texts read with type code 6 go unchecked into the caller's buffer, which must hold them: this
// is as large as the applet's own text buffer, so any text the applet can produce fits.
constexpr size_t kValueBufferSize = 655360 + 1;
constexpr size_t kMaxValueBytes = 300;
// Each description query builds the whole XML text, slow next to everything else: a few per
// input cover all its cases and keep the fuzzer fast.
constexpr int kMaxXmlQueries = 4;

void collectIds(const ParameterInfoNode* node, std::set<int32_t>& ids) {
    if (node->type != PARAM_INFO_CATEGORY) ids.insert(node->id);
    for (int32_t i = 0; node->type == PARAM_INFO_CATEGORY && i < node->value.category.childCount; ++i) {
        collectIds(node->value.category.children[i], ids);
    }
}

// Every id the board answers to: the SDK ids by index, and those of the description tree, which
// also holds the direct register and direct NX access ids.
std::vector<int32_t> knownIds(void* fg) {
    std::set<int32_t> ids;
    for (int32_t i = 0; i < Fg_getNrOfParameter(fg); ++i) ids.insert(Fg_getParameterId(fg, i));
    for (const ParameterInfoNode* top = Fg_getParameterInfo(fg, 0); top != nullptr; top = top->older) collectIds(top, ids);
    return {ids.begin(), ids.end()};
}

void* openBoardWithDirectAccess() {
    test_process::setEnvironment("VEXO_ENABLE_DRA", "1");
    test_process::setEnvironment("VEXO_ENABLE_DNXA", "1");
    return fuzz::openBoardOnce();
}

int32_t drawId(fuzz::Input& in, const std::vector<int32_t>& known) {
    const uint8_t kind = in.take<uint8_t>();
    const uint32_t raw = in.take<uint32_t>();
    switch (kind % 5) {
    case 0:
    case 1: return known[raw % known.size()];
    case 2: return 1000000 + static_cast<int32_t>(raw % 64);     // register addresses are small
    case 3: return 2000000 + static_cast<int32_t>(raw % 65536);  // NX ids lie near 50000
    default: return static_cast<int32_t>(raw);
    }
}

// Every size case of the description query: size query, size 0, exact, one short, arbitrary,
// and no size at all.
void queryXml(void* fg, fuzz::Input& in) {
    const int32_t port = static_cast<int32_t>(in.take<uint8_t>() % 4) - 1;
    const uint8_t sizeCase = in.take<uint8_t>() % 6;
    size_t size = 0;
    if (sizeCase >= 2 && sizeCase <= 3 && Fg_getParameterInfoXML(fg, port, nullptr, &size) != 0) return;
    if (sizeCase == 3) size -= 1;
    if (sizeCase == 4) size = in.take<uint16_t>();
    std::vector<char> buffer(size + 1);
    Fg_getParameterInfoXML(fg, port, sizeCase == 0 ? nullptr : buffer.data(), sizeCase == 5 ? nullptr : &size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static void* const fg = openBoardWithDirectAccess();
    static const std::vector<int32_t> ids = knownIds(fg);
    static std::vector<char> value(kValueBufferSize);
    static fuzz::ScratchFile saved("parameters", ".mcf");
    // Strings handed out with type code 22, with the id that read them; all are given back at
    // the end. A release is a lookup for both owners, so one already given back is harmless.
    std::vector<std::pair<int32_t, void*>> handedOut;
    int xmlQueries = 0;
    fuzz::Input in{data, data + size};
    while (in.data != in.end) {
        const uint8_t operation = in.take<uint8_t>() % 4;
        if (operation == 3) {
            if (++xmlQueries <= kMaxXmlQueries) queryXml(fg, in);
            continue;
        }
        const int32_t id = drawId(in, ids);
        const uint8_t typeByte = in.take<uint8_t>();
        const int32_t type = typeByte < 240 ? kTypeCodes[typeByte % 6] : static_cast<int8_t>(typeByte);
        // Mostly 0, the only DMA index there is; else one from -8 to 55.
        const uint8_t dmaByte = in.take<uint8_t>();
        const uint32_t dma = (dmaByte & 0xC0) != 0 ? 0u : static_cast<uint32_t>((dmaByte & 0x3F) - 8);
        std::memset(value.data(), 0, kMaxValueBytes + 1);
        in.takeBytes(value.data(), in.take<uint8_t>() % kMaxValueBytes);

        if (operation == 0) {
            if (id == kDebugSaveConfig) std::strcpy(value.data(), saved.path().c_str());
            Fg_setParameterWithType(fg, id, value.data(), dma, type);
        } else if (operation == 1) {
            if (Fg_getParameterWithType(fg, id, value.data(), dma, type) == 0 && type == kTypeAllocated) {
                void* text = nullptr;
                std::memcpy(&text, value.data(), sizeof text);
                handedOut.emplace_back(id, text);
            }
        } else {
            void* text = handedOut.empty() ? value.data() : handedOut[static_cast<uint8_t>(value[0]) % handedOut.size()].second;
            Fg_freeParameterStringWithType(fg, id, text, dma, type);
        }
    }
    for (const auto& [id, text] : handedOut) Fg_freeParameterStringWithType(fg, id, text, 0, kTypeAllocated);
    return 0;
}
