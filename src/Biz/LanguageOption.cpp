#include "Biz/LanguageOption.h"

#include "Biz/AppConfig.h"
#include "Biz/Log/Log.h"
#include "Biz/UiText.h"
#include "Platform/Text/JsonText.h"

void ReadLanguage(const Json::Value& config, AppConfig& settings)
{
    settings.Language = UiLanguage::Chinese;
    const Json::Value& value = Platform::JsonMember(config, "Language", Json::Value());
    if (value.isNull())
        return;
    const std::optional<UiLanguage> named = value.isString() ? UiText::LanguageNamed(value.asString()) : std::nullopt;
    if (!named) {
        Log::Instance().Warn("init member ignored: Language = " + value.toStyledString(), "Biz\\LanguageOption",
                             __LINE__);
        return;
    }
    settings.Language = *named;
}
