// Opening the board, the parameter catalogue and typed parameter access through the runtime.
#include "session.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iostream>
#include <limits>
#include <map>

#include <filesystem>

#include "orvanta/error_codes.h"
#include "orvanta/named_constants.h"
#include "orvanta/runtime.h"
#include "orvanta/type_codes.h"

namespace orvanta_tool {

namespace {

constexpr int32_t kNoSuchParameter = -2070;
constexpr int32_t kLibraryNotLoaded = -2031;

// The applet's named constants: Info answers one by its exact name but cannot list them.
constexpr const char* kNamedConstantNames[] = {
#define NAME(name, value) #name,
    ORVANTA_NAMED_CONSTANTS(NAME)
#undef NAME
};

// A value converted for the write call: the bytes the applet reads and the type code.
struct WireValue {
    uint64_t word = 0;  // integers and doubles, in the parameter's own width (little-endian low bytes)
    int32_t type = vexo::kTypeU32;
    const char* text = nullptr;
};

bool isDecimalId(const std::string& text) {
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// Every parameter record under a node, by id, with the path of its categories.
using RecordsById = std::map<int32_t, std::pair<const ParameterInfoNode*, std::string>>;

void collect(const ParameterInfoNode* node, const std::string& path, RecordsById& byId) {
    if (node->type != PARAM_INFO_CATEGORY) {
        byId.emplace(node->id, std::make_pair(node, path));
        return;
    }
    const std::string inner = path.empty() ? latin1ToUtf8(node->name) : path + " / " + latin1ToUtf8(node->name);
    for (int32_t i = 0; i < node->value.category.childCount; ++i) {
        collect(node->value.category.children[i], inner, byId);
    }
}

}  // namespace

std::string callFailure(const std::string& operation, int32_t code, Call call, const std::string& detail) {
    std::string text = operation + ": " + std::to_string(code) + " " + meaningOf(code, call);
    if (!detail.empty()) text += " (" + detail + ")";
    return text;
}

void Console::error(const std::string& text) const { std::cerr << "orvanta: " << linePrefix << text << std::endl; }

void Console::warning(const std::string& text) const {
    if (!quiet) std::cerr << "orvanta: " << linePrefix << "warning: " << text << std::endl;
}

void Console::news(const std::string& text) const {
    if (!quiet) std::cerr << "orvanta: " << linePrefix << text << std::endl;
}

void Console::note(const std::string& text) const {
    if (verbose) std::cerr << "orvanta: " << text << std::endl;
}

void Console::jsonFailure(const std::string& text, int32_t code) const {
    if (!json) return;
    nlohmann::ordered_json error = {{"message", text}};
    if (code != 0) error["code"] = code;
    std::cout << nlohmann::ordered_json{{"error", error}}.dump(2) << std::endl;
}

namespace {

// Why the runtime could not load an applet library, as far as the tool can tell: where the
// runtime looks (beside itself, then in the installation's "Hardware Applets" folder) and what
// the system's loader says of the file found there.
std::string whyNotLoaded(const std::string& applet) {
    const std::string library = appletLibraryName(applet);
    const std::filesystem::path runtime = runtimeFolder();
    std::string text;
    for (const std::filesystem::path& folder : {runtime, runtime.parent_path() / "Hardware Applets"}) {
        const std::filesystem::path path = folder / library;
        if (!std::filesystem::exists(path)) continue;
        const std::string reason = libraryLoadError(path.string());
        text = path.string() + (reason.empty() ? " loads, but the runtime did not take it as an applet"
                                               : " does not load: " + reason);
        break;
    }
    if (text.empty()) {
        text = "no " + library + " in " + runtime.string() + " or " + (runtime.parent_path() / "Hardware Applets").string();
    }
    const std::string ending = std::filesystem::path(applet).extension().string();
    if (ending == ".so" || ending == ".dll") {
        text += "; --applet takes the applet's name without its ending (--applet " +
                std::filesystem::path(applet).stem().string() + ")";
    }
    return text;
}

}  // namespace

Session::Session(const std::string& applet, uint32_t board, Console& console)
    : applet_(applet), board_(board), console_(console), sim_(board) {
    open();
}

Session::~Session() {
    const int32_t result = Fg_FreeGrabber(fg_);
    console_.note("closed the board: " + std::to_string(result));
}

void Session::open() {
    fg_ = Fg_Init(applet_.c_str(), board_);
    if (fg_ == nullptr) {
        const int32_t code = Fg_getLastErrorNumber(nullptr);
        throw Failure(callFailure("open " + applet_ + " on board " + std::to_string(board_), code, Call::Open,
                                  code == kLibraryNotLoaded ? whyNotLoaded(applet_) : std::string()),
                      code);
    }
    info_ = loadedAppletInfo(appletLibraryName(applet_));
    if (info_ == nullptr) console_.note("no Info export found in " + appletLibraryName(applet_));
    catalogue();
    console_.note("opened " + applet_ + " on board " + std::to_string(board_) + ": " +
                  std::to_string(parameters_.size()) + " parameters");
}

void Session::reopen() {
    const int32_t result = Fg_FreeGrabber(fg_);
    console_.note("closed the board: " + std::to_string(result));
    fg_ = nullptr;
    parameters_.clear();
    open();
}

void Session::catalogue() {
    RecordsById byId;
    for (const ParameterInfoNode* top : topCategories()) collect(top, {}, byId);
    const int32_t count = Fg_getNrOfParameter(fg_);
    for (int32_t index = 0; index < count; ++index) {
        Parameter parameter;
        parameter.index = index;
        parameter.id = Fg_getParameterId(fg_, index);
        const char* name = Fg_getParameterName(fg_, index);
        parameter.name = name != nullptr ? name : std::to_string(parameter.id);
        const auto found = byId.find(parameter.id);
        if (found != byId.end()) {
            parameter.node = found->second.first;
            parameter.category = found->second.second;
        }
        parameters_.push_back(parameter);
    }
}

std::vector<const ParameterInfoNode*> Session::topCategories() const {
    std::vector<const ParameterInfoNode*> tops;
    for (const ParameterInfoNode* top = Fg_getParameterInfo(fg_, 0); top != nullptr; top = top->older) {
        tops.push_back(top);
    }
    std::reverse(tops.begin(), tops.end());
    return tops;
}

Parameter Session::find(const std::string& nameOrId, const std::string& operation) const {
    for (const Parameter& parameter : parameters_) {
        if (parameter.name == nameOrId) return parameter;
    }
    for (const Parameter& parameter : parameters_) {
        if (sameName(parameter.name, nameOrId)) return parameter;
    }
    if (isDecimalId(nameOrId)) {
        const int32_t id = std::stoi(nameOrId);
        for (const Parameter& parameter : parameters_) {
            if (parameter.id == id) return parameter;
        }
        Parameter unlisted;
        unlisted.id = id;
        unlisted.name = nameOrId;
        return unlisted;
    }
    // Names the list leaves out may still be the applet's.
    const int32_t id = Fg_getParameterIdByName(fg_, nameOrId.c_str());
    if (id <= 0) {
        throw Failure(callFailure(operation + " " + nameOrId, id < 0 ? id : kNoSuchParameter, Call::Read),
                      id < 0 ? id : kNoSuchParameter);
    }
    Parameter unlisted;
    unlisted.id = id;
    unlisted.name = nameOrId;
    return unlisted;
}

Value Session::read(const Parameter& parameter) const {
    Value value;
    int32_t result = 0;
    const int32_t type = parameter.node != nullptr ? parameter.node->type : PARAM_INFO_UINT64;
    switch (type) {
    case PARAM_INFO_DOUBLE:
        value.kind = Value::Kind::Double;
        result = Fg_getParameterWithType(fg_, parameter.id, &value.doubleValue, 0, vexo::kTypeDouble);
        break;
    case PARAM_INFO_STRING: {
        value.kind = Value::Kind::Text;
        char* text = nullptr;
        result = Fg_getParameterWithType(fg_, parameter.id, &text, 0, vexo::kTypeAllocatedText);
        if (result == 0 && text != nullptr) {
            value.text = latin1ToUtf8(text);
            Fg_freeParameterStringWithType(fg_, parameter.id, text, 0, vexo::kTypeAllocatedText);
        }
        break;
    }
    case PARAM_INFO_INT64:
        value.kind = Value::Kind::Signed;
        result = Fg_getParameterWithType(fg_, parameter.id, &value.signedValue, 0, vexo::kTypeI64);
        break;
    case PARAM_INFO_INT32: {
        value.kind = Value::Kind::Signed;
        int32_t number = 0;
        result = Fg_getParameterWithType(fg_, parameter.id, &number, 0, vexo::kTypeU32);
        value.signedValue = number;
        break;
    }
    case PARAM_INFO_UINT32:
    case PARAM_INFO_ENUM: {
        uint32_t number = 0;
        result = Fg_getParameterWithType(fg_, parameter.id, &number, 0, vexo::kTypeU32);
        value.unsignedValue = number;
        break;
    }
    default:
        // 64-bit, and the parameters the runtime answers without a record: a 64-bit cell holds
        // whatever width the answer has.
        result = Fg_getParameterWithType(fg_, parameter.id, &value.unsignedValue, 0, vexo::kTypeU64);
        break;
    }
    console_.note("Fg_getParameterWithType(" + parameter.name + ") = " + std::to_string(result));
    if (result != 0) throw Failure(callFailure("get " + parameter.name, result, Call::Read), result);
    return value;
}

std::optional<int32_t> Session::namedConstant(const std::string& given) const {
    if (info_ == nullptr) return std::nullopt;
    std::string name = given;
    for (const char* known : kNamedConstantNames) {
        if (sameName(known, given)) name = known;
    }
    // The query reads the name from the first out cell's address.
    std::vector<uint64_t> cell(name.size() / sizeof(uint64_t) + 1, 0);
    std::memcpy(cell.data(), name.c_str(), name.size());
    const int32_t value = info_(FG_INFO_NAMED_CONSTANT, 0, 0, cell.data(), nullptr);
    if (value == kNoSuchParameter) return std::nullopt;
    return value;
}

namespace {

[[noreturn]] void refuse(const Parameter& parameter, const std::string& text, const std::string& why) {
    throw Failure("set " + parameter.name + ": " + text + " " + why);
}

// An integer of the parameter's width from what the user wrote.
uint64_t integerFor(const Parameter& parameter, const std::string& text, const Number& number, bool isSigned,
                    int bits) {
    if (!number.integer) refuse(parameter, text, "is not an integer");
    const uint64_t limit = bits == 64 ? std::numeric_limits<uint64_t>::max() : (uint64_t{1} << bits) - 1;
    if (!isSigned) {
        if (number.overflow || (number.negative && number.magnitude != 0) || number.magnitude > limit) {
            refuse(parameter, text, "does not fit an unsigned " + std::to_string(bits) + "-bit value");
        }
        return number.magnitude;
    }
    const uint64_t positiveLimit = limit >> 1;
    if (number.overflow || number.magnitude > positiveLimit + (number.negative ? 1 : 0)) {
        refuse(parameter, text, "does not fit a signed " + std::to_string(bits) + "-bit value");
    }
    const uint64_t bitsOfValue = number.negative ? ~number.magnitude + 1 : number.magnitude;
    return bitsOfValue & limit;
}

}  // namespace

void Session::write(const Parameter& parameter, const std::string& text) const {
    const ParameterInfoNode* node = parameter.node;
    const int32_t type = node != nullptr ? node->type : PARAM_INFO_UINT32;
    WireValue wire;
    if (type == PARAM_INFO_STRING) {
        wire.type = vexo::kTypeText;
        wire.text = text.c_str();
    } else {
        std::optional<Number> number;
        for (const Entry& entry : entriesOf(node)) {
            if (sameName(entry.symbol, text)) {
                number = Number{};
                number->integer = true;
                number->negative = entry.value < 0;
                number->magnitude = static_cast<uint64_t>(entry.value < 0 ? -int64_t{entry.value} : entry.value);
                number->real = entry.value;
            }
        }
        if (!number) number = parseNumber(text);
        if (!number) {
            const std::optional<int32_t> constant = namedConstant(text);
            if (!constant) {
                refuse(parameter, "'" + text + "'",
                       "is no number, no entry of " + parameter.name + " and no named constant of " + applet_);
            }
            number = parseNumber(std::to_string(*constant));
        }
        switch (type) {
        case PARAM_INFO_DOUBLE: {
            wire.type = vexo::kTypeDouble;
            std::memcpy(&wire.word, &number->real, sizeof number->real);
            break;
        }
        case PARAM_INFO_UINT64:
            wire.type = vexo::kTypeU64;
            wire.word = integerFor(parameter, text, *number, false, 64);
            break;
        case PARAM_INFO_INT64:
            wire.type = vexo::kTypeI64;
            wire.word = integerFor(parameter, text, *number, true, 64);
            break;
        case PARAM_INFO_INT32:
            wire.word = integerFor(parameter, text, *number, true, 32);
            break;
        default:
            wire.word = integerFor(parameter, text, *number, false, 32);
            break;
        }
    }
    // The applet reads as many bytes as the parameter is wide, from the start of the value.
    uint32_t narrow = static_cast<uint32_t>(wire.word);
    const void* bytes = wire.text != nullptr ? static_cast<const void*>(wire.text)
                        : (wire.type == vexo::kTypeU32) ? static_cast<const void*>(&narrow)
                                                        : static_cast<const void*>(&wire.word);
    const int32_t result = Fg_setParameterWithType(fg_, parameter.id, bytes, 0, wire.type);
    console_.note("Fg_setParameterWithType(" + parameter.name + ", " + text + ", type " + std::to_string(wire.type) +
                  ") = " + std::to_string(result));
    if (result != 0) {
        // The limits are read after the refusal: they may depend on other parameters' values.
        const std::string range = result == FG_ERR_VALUE_OUT_OF_RANGE ? rangeText(node) : std::string();
        throw Failure(callFailure("set " + parameter.name, result, Call::Write, range), result);
    }
}

}  // namespace orvanta_tool
