// Page commands as arbitrary bytes: whatever the page sends, postMessage must return
// and the control must stay usable.

#include "Control/CTrellan.h"
#include "Platform/Text/TextConv.h"

#include <cstdint>
#include <string>

using namespace Platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CTrellan* control = [] {
        CTrellan* created = nullptr;
        CTrellan::CreateInstance(&created);
        return created;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    // A log file path from the input would let the fuzzer write anywhere.
    if (text.find("Log") != std::string::npos)
        return 0;
    ScopedBstr command(Utf8ToWide(text));
    control->postMessage(command.Get());
    return 0;
}
