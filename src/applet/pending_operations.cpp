// Operations of the applet class whose full form arrives with the events. Until then they
// answer as they will for a name or event the applet does not know.
#include "wrapper/error_codes.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

}  // namespace vexo::wrapper
