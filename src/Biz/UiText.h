#pragma once
// Every text the interface shows, one table per language, found by key. A new text
// gets a key here and an entry in each language's table (UiText.cpp); a table that
// misses a key or holds one out of order does not compile.

#include "Biz/UiLanguage.h"

#include <optional>
#include <string>
#include <string_view>

enum class TextId {
    // Main view: toolbar, hints, links, sort orders, the empty-list notice.
    SelectAll,
    ToolbarHint,
    DropHint,
    Edit,
    TurnLeft,
    TurnRight,
    Delete,
    SortDefault,
    SortByName,
    SortByCreated,
    SortByTaken,
    EmptyList,
    InterfaceLookupFailed,
    // A tile's band once its last byte was sent, after a failure (%1% the short
    // reason) or a cancel, and while a file is retried (%1% of %2% retries).
    Uploaded,
    UploadFailed,
    UploadCancelled,
    RetryFormat,
    // The second toolbar band while uploading: %1% of %2% files, %3% percent of the
    // bytes, %4% bytes a second, %5% time left.
    OverallFormat,
    // The short reasons of a failure, one per failure code.
    ReasonNetwork,
    ReasonTimeout,
    ReasonHttpStatus,
    ReasonNotSuccess,
    ReasonDestinationRefused,
    ReasonUnreadable,
    ReasonCancelled,
    // Message dialogs.
    MessageTitle,
    InformationTitle,
    // File-add dialog; CountFormat takes %1% checked and %2% listed pictures. The
    // desktop and the computer head its folder tree.
    AddPictures,
    Desktop,
    Computer,
    CountNone,
    CountFormat,
    SizeNone,
    Loading,
    TooManyFiles,
    // Image editor: buttons, tabs, panel fields.
    EditPicture,
    Ok,
    Cancel,
    Resize,
    Brightness,
    Saturation,
    RotatePicture,
    Quality,
    CropPicture,
    UndoEdits,
    WidthLabel,
    HeightLabel,
    KeepRatio,
    ActualPixels,
    FitSize,
    BrightnessLabel,
    ContrastLabel,
    SaturationLabel,
    Adjust,
    PleaseChoose,
    QualityLabel,
    Apply,
    Crop,
    Undo,
    Count
};

namespace UiText {

// The text in the configured language (AppConfig's Language).
const wchar_t* Get(TextId id);
const wchar_t* Get(TextId id, UiLanguage language);
// "zh-CN" and "en"; nothing for any other name. LanguageName gives the name back.
std::optional<UiLanguage> LanguageNamed(std::string_view name);
const char* LanguageName(UiLanguage language);
// The short reason for a failure code ("network", "timeout", ...), in the configured
// language; the code itself for one the table does not have.
std::wstring ReasonText(std::string_view code);

} // namespace UiText
