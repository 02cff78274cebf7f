// The process locale used for configuration files.
#pragma once

namespace vexo::templates::platform {

// setlocale(LC_ALL, "English") on Windows, setlocale(LC_ALL, "C") on Linux; the locale stays
// set afterwards.
void setEnglishLocale();

}  // namespace vexo::templates::platform
