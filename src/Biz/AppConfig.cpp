#include "Biz/AppConfig.h"

AppConfig& AppConfig::Instance()
{
    static AppConfig instance;
    return instance;
}
