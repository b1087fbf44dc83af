#include "Platform/Controls/ComboBoxControl.h"
#include "Platform/Controls/EditControl.h"
#include "Platform/Controls/TreeViewControl.h"

namespace Platform {
namespace {

// The system control classes exist from the moment the module is loaded, so that
// components can superclass them at any time.
[[maybe_unused]] const bool registered = [] {
    EditControl::Register();
    ComboBoxControl::Register();
    TreeViewControl::Register();
    return true;
}();

} // namespace
} // namespace Platform
