// Initial filling and text access of the SDK value store.
#include "applet/core/value_store.h"

#include <stdexcept>

namespace vexo::applet {

ValueStore::ValueStore() {
    for (StoredValue& slot : slots) {
        slot.u64 = 0;
    }
    for (const InitialValue& value : kAppliedInitialValues) {
        store(value);
    }
    for (const InitialValue& value : kStoredInitialValues) {
        store(value);
    }
}

std::string& ValueStore::text(SdkParameter parameter) {
    return const_cast<std::string&>(static_cast<const ValueStore&>(*this).text(parameter));
}

const std::string& ValueStore::text(SdkParameter parameter) const {
    if (parameter == SdkParameter::FG_DEBUGFILE) return debugFile;
    if (parameter == SdkParameter::FG_DEBUGSAVECONFIG) return debugSaveConfig;
    throw std::invalid_argument(std::string("no stored text for ") + infoOf(parameter).name);
}

void ValueStore::store(const InitialValue& value) {
    StoredValue& slot = (*this)[value.parameter];
    const bool isDouble = value.form == InitialValue::Form::Double;
    switch (infoOf(value.parameter).kind) {
    case ParameterKind::Double:
        slot.f64 = isDouble ? value.number : static_cast<double>(value.integer);
        break;
    case ParameterKind::Integer64:
        slot.u64 = static_cast<uint64_t>(value.integer);
        break;
    case ParameterKind::String:
        text(value.parameter) = value.text;
        break;
    case ParameterKind::Integer:
    case ParameterKind::Enumeration:
    case ParameterKind::Forwarded:
        slot.u64 = 0;
        slot.u32 = static_cast<uint32_t>(value.integer);
        break;
    }
}

}  // namespace vexo::applet
