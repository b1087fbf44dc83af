#pragma once
// The texts the control shows about uploads that page events and failures brought:
// the failure and cancellation bands of a tile with their short reasons, the retry
// note and the overall progress of the second toolbar band. One table, each text in
// Chinese (shown) and English, found by its key; reasons are keyed by their stable
// code ("network", "timeout", ...).

#include <initializer_list>
#include <string>
#include <string_view>

namespace Zivoro::UI {

// The text under key; empty for a key the table does not have.
std::wstring UploadText(std::string_view key);
// The text under key with "{1}", "{2}" ... replaced by the values in their order.
std::wstring UploadText(std::string_view key, std::initializer_list<std::wstring> values);

// The short reason a tile's band gives for a failure code.
std::wstring FailureReasonText(std::string_view code);

} // namespace Zivoro::UI
