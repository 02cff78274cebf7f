// The process locale for configuration files: "English" gives the '.' decimal point that
// the files are written with.
#include "platform/process_locale.h"

#include <clocale>

namespace vexo::templates::platform {

void setEnglishLocale() { std::setlocale(LC_ALL, "English"); }

}  // namespace vexo::templates::platform
