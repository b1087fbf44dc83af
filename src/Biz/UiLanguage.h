#pragma once
// The languages the interface speaks; the page chooses one with "init"'s "Language".

enum class UiLanguage { Chinese, English };
