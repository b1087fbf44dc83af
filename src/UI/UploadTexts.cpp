#include "UI/UploadTexts.h"

#include <algorithm>
#include <iterator>

namespace Zivoro::UI {

namespace {

struct UploadTextEntry {
    std::string_view key;
    const wchar_t* chinese;
    const wchar_t* english;
};

// "{1}", "{2}" ... stand for the values put in when the text is shown.
constexpr UploadTextEntry kTexts[] = {
    {"failed", L"上传失败", L"Upload failed"},
    {"cancelled", L"上传已取消", L"Upload cancelled"},
    {"retry", L"重试 {1}/{2}", L"Retry {1}/{2}"},
    {"overall", L"已上传 {1}/{2} 个文件，{3}%，{4}/秒，剩余 {5}", L"{1} of {2} files sent, {3}%, {4}/s, {5} left"},
    {"reason.network", L"网络错误", L"Network error"},
    {"reason.timeout", L"超时", L"Timed out"},
    {"reason.http_status", L"服务器错误", L"Server error"},
    {"reason.not_success", L"服务器拒绝", L"Refused by the server"},
    {"reason.destination_refused", L"地址不允许", L"Address not allowed"},
    {"reason.unreadable", L"无法读取", L"Cannot be read"},
    {"reason.cancelled", L"已取消", L"Cancelled"},
};

} // namespace

std::wstring UploadText(std::string_view key)
{
    const auto found = std::find_if(std::begin(kTexts), std::end(kTexts),
                                    [key](const UploadTextEntry& entry) { return entry.key == key; });
    return found == std::end(kTexts) ? std::wstring() : std::wstring(found->chinese);
}

std::wstring UploadText(std::string_view key, std::initializer_list<std::wstring> values)
{
    std::wstring text = UploadText(key);
    int number = 1;
    for (const std::wstring& value : values) {
        const std::wstring mark = L"{" + std::to_wstring(number++) + L"}";
        const std::size_t at = text.find(mark);
        if (at != std::wstring::npos)
            text.replace(at, mark.size(), value);
    }
    return text;
}

std::wstring FailureReasonText(std::string_view code)
{
    return UploadText(std::string("reason.") + std::string(code));
}

} // namespace Zivoro::UI
