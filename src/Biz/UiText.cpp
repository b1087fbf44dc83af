#include "Biz/UiText.h"

#include "Biz/AppConfig.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <cstddef>

namespace {

struct Entry {
    TextId id;
    const wchar_t* text;
};

constexpr std::size_t kTextCount = static_cast<std::size_t>(TextId::Count);
using Table = std::array<Entry, kTextCount>;

// Each table lists every key once, in the enum's order, so a lookup is an index.
constexpr bool InKeyOrder(const Table& table)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (static_cast<std::size_t>(table[i].id) != i || table[i].text == nullptr)
            return false;
    return true;
}

constexpr Table kChinese{{
    {TextId::SelectAll, L"全选"},
    {TextId::ToolbarHint, L"请点击\"添加按钮\"，选择要上传的照片"},
    {TextId::DropHint, L"单击\"添加照片\"按钮或拖动照片到上传框中"},
    {TextId::Edit, L"编辑"},
    {TextId::TurnLeft, L"左旋"},
    {TextId::TurnRight, L"右旋"},
    {TextId::Delete, L"删除"},
    {TextId::SortDefault, L"默认排序"},
    {TextId::SortByName, L"按文件名"},
    {TextId::SortByCreated, L"按创建时间"},
    {TextId::SortByTaken, L"按拍摄时间"},
    {TextId::EmptyList, L"上传列表为空，请选择文件"},
    {TextId::InterfaceLookupFailed, L"从全局GIT中获取指针失败"},
    {TextId::Uploaded, L"上传成功"},
    {TextId::UploadFailed, L"上传失败：%1%"},
    {TextId::UploadCancelled, L"上传已取消"},
    {TextId::RetryFormat, L"重试 %1%/%2%"},
    {TextId::OverallFormat, L"已上传 %1%/%2% 个文件，%3%%%，%4%/秒，剩余 %5%"},
    {TextId::ReasonNetwork, L"网络错误"},
    {TextId::ReasonTimeout, L"超时"},
    {TextId::ReasonHttpStatus, L"服务器错误"},
    {TextId::ReasonNotSuccess, L"服务器拒绝"},
    {TextId::ReasonDestinationRefused, L"地址不允许"},
    {TextId::ReasonUnreadable, L"无法读取"},
    {TextId::ReasonCancelled, L"已取消"},
    {TextId::MessageTitle, L"提示消息"},
    {TextId::InformationTitle, L"提示信息"},
    {TextId::AddPictures, L"添加图片"},
    {TextId::Desktop, L"桌面"},
    {TextId::Computer, L"计算机"},
    {TextId::CountNone, L"当前选择0/0张照片"},
    {TextId::CountFormat, L"当前选择：%1%/%2% 张照片"},
    {TextId::SizeNone, L"共0.00KB"},
    {TextId::Loading, L"加载中..."},
    {TextId::TooManyFiles, L"文件数量超过限制"},
    {TextId::EditPicture, L"编辑图片"},
    {TextId::Ok, L"确定"},
    {TextId::Cancel, L"取消"},
    {TextId::Resize, L"调整尺寸"},
    {TextId::Brightness, L"调整亮度"},
    {TextId::Saturation, L"饱和度"},
    {TextId::RotatePicture, L"旋转图片"},
    {TextId::Quality, L"质量优化"},
    {TextId::CropPicture, L"裁剪图片"},
    {TextId::UndoEdits, L"撤消编辑"},
    {TextId::WidthLabel, L"宽度："},
    {TextId::HeightLabel, L"高度："},
    {TextId::KeepRatio, L"约束比例"},
    {TextId::ActualPixels, L"实际像素"},
    {TextId::FitSize, L"适合尺寸"},
    {TextId::BrightnessLabel, L"亮度："},
    {TextId::ContrastLabel, L"对比度："},
    {TextId::SaturationLabel, L"饱和度："},
    {TextId::Adjust, L"调整"},
    {TextId::PleaseChoose, L"请选择"},
    {TextId::QualityLabel, L"图片质量："},
    {TextId::Apply, L"应用"},
    {TextId::Crop, L"裁剪"},
    {TextId::Undo, L"撤消"},
}};

constexpr Table kEnglish{{
    {TextId::SelectAll, L"Select all"},
    {TextId::ToolbarHint, L"Click \"Add photos\" to choose the photos to upload"},
    {TextId::DropHint, L"Click \"Add photos\" or drag photos into the upload box"},
    {TextId::Edit, L"Edit"},
    {TextId::TurnLeft, L"Turn left"},
    {TextId::TurnRight, L"Turn right"},
    {TextId::Delete, L"Delete"},
    {TextId::SortDefault, L"Default order"},
    {TextId::SortByName, L"By file name"},
    {TextId::SortByCreated, L"By date created"},
    {TextId::SortByTaken, L"By date taken"},
    {TextId::EmptyList, L"The upload list is empty. Please choose files."},
    {TextId::InterfaceLookupFailed, L"Could not get the control from the global interface table"},
    {TextId::Uploaded, L"Uploaded"},
    {TextId::UploadFailed, L"Upload failed: %1%"},
    {TextId::UploadCancelled, L"Upload cancelled"},
    {TextId::RetryFormat, L"Retry %1%/%2%"},
    {TextId::OverallFormat, L"%1% of %2% files sent, %3%%%, %4%/s, %5% left"},
    {TextId::ReasonNetwork, L"Network"},
    {TextId::ReasonTimeout, L"Timeout"},
    {TextId::ReasonHttpStatus, L"Server"},
    {TextId::ReasonNotSuccess, L"Refused"},
    {TextId::ReasonDestinationRefused, L"Blocked"},
    {TextId::ReasonUnreadable, L"Unreadable"},
    {TextId::ReasonCancelled, L"Cancelled"},
    {TextId::MessageTitle, L"Message"},
    {TextId::InformationTitle, L"Information"},
    {TextId::AddPictures, L"Add pictures"},
    {TextId::Desktop, L"Desktop"},
    {TextId::Computer, L"Computer"},
    {TextId::CountNone, L"Selected 0/0 photos"},
    {TextId::CountFormat, L"Selected: %1%/%2% photos"},
    {TextId::SizeNone, L"Total 0.00KB"},
    {TextId::Loading, L"Loading..."},
    {TextId::TooManyFiles, L"Too many files: the limit is reached"},
    {TextId::EditPicture, L"Edit picture"},
    {TextId::Ok, L"OK"},
    {TextId::Cancel, L"Cancel"},
    {TextId::Resize, L"Resize"},
    {TextId::Brightness, L"Brightness"},
    {TextId::Saturation, L"Saturation"},
    {TextId::RotatePicture, L"Rotate"},
    {TextId::Quality, L"Quality"},
    {TextId::CropPicture, L"Crop"},
    {TextId::UndoEdits, L"Undo edits"},
    {TextId::WidthLabel, L"Width:"},
    {TextId::HeightLabel, L"Height:"},
    {TextId::KeepRatio, L"Keep ratio"},
    {TextId::ActualPixels, L"Actual size"},
    {TextId::FitSize, L"Fit"},
    {TextId::BrightnessLabel, L"Brightness:"},
    {TextId::ContrastLabel, L"Contrast:"},
    {TextId::SaturationLabel, L"Saturation:"},
    {TextId::Adjust, L"Adjust"},
    {TextId::PleaseChoose, L"Choose"},
    {TextId::QualityLabel, L"Quality:"},
    {TextId::Apply, L"Apply"},
    {TextId::Crop, L"Crop"},
    {TextId::Undo, L"Undo"},
}};

static_assert(InKeyOrder(kChinese), "the Chinese table must list every key once, in order");
static_assert(InKeyOrder(kEnglish), "the English table must list every key once, in order");

} // namespace

namespace UiText {

const wchar_t* Get(TextId id, UiLanguage language)
{
    const Table& table = language == UiLanguage::English ? kEnglish : kChinese;
    const auto index = static_cast<std::size_t>(id);
    return index < table.size() ? table[index].text : L"";
}

const wchar_t* Get(TextId id)
{
    return Get(id, AppConfig::Instance().Language);
}

std::optional<UiLanguage> LanguageNamed(std::string_view name)
{
    for (UiLanguage language : {UiLanguage::Chinese, UiLanguage::English})
        if (name == LanguageName(language))
            return language;
    return std::nullopt;
}

const char* LanguageName(UiLanguage language)
{
    return language == UiLanguage::English ? "en" : "zh-CN";
}

std::wstring ReasonText(std::string_view code)
{
    struct Reason {
        std::string_view code;
        TextId id;
    };
    static constexpr Reason kReasons[] = {
        {"network", TextId::ReasonNetwork},
        {"timeout", TextId::ReasonTimeout},
        {"http_status", TextId::ReasonHttpStatus},
        {"not_success", TextId::ReasonNotSuccess},
        {"destination_refused", TextId::ReasonDestinationRefused},
        {"unreadable", TextId::ReasonUnreadable},
        {"cancelled", TextId::ReasonCancelled},
    };
    const auto found = std::find_if(std::begin(kReasons), std::end(kReasons),
                                    [code](const Reason& reason) { return reason.code == code; });
    return found == std::end(kReasons) ? std::wstring(code.begin(), code.end()) : Get(found->id);
}

} // namespace UiText
