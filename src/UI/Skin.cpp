#include "UI/Skin.h"

#include "Biz/AppConfig.h"
#include "Imaging/ImageLister.h"
#include "UI/CombinBitmap.h"

namespace {

struct SkinImage {
    const char* name;
    unsigned resource;
};

constexpr SkinImage kSkinImages[] = {
    {"CheckBox-Normal", 226},
    {"CheckBox-Hover", 225},
    {"CheckBox-Checked", 223},
    {"CheckBox-CkHover", 224},
    {"BtnNormal", 215},
    {"BtnHover", 212},
    {"BtnDown", 211},
    {"BtnDisable", 210},
    {"BtnCloseNormal", 209},
    {"BtnCloseHover", 208},
    {"BtnCloseVNormal", 239},
    {"BtnCloseVHover", 238},
    {"IcoAdd", 201},
    {"IcoEdit", 228},
    {"IcoInfo", 230},
    {"ico-left", 240},
    {"ico-right", 241},
    {"BtnPost-Normal", 220},
    {"BtnPost-Disable", 218},
    {"BtnPost-Hover", 219},
    {"BtnPost-Cancel", 217},
    {"BtnAdd-Normal", 206},
    {"BtnAdd-Hover", 205},
    {"BtnAdd-Disable", 204},
    {"BtnAdd2-Normal", 203},
    {"BtnAdd2-Hover", 202},
    {"RotatioLeft", 231},
    {"RotatioRight", 232},
    {"Btn_Delete", 227},
    {"BtnMax-Normal", 214},
    {"BtnMax-Hover", 213},
    {"BtnRestore-Normal", 222},
    {"BtnRestore-Hover", 221},
    {"Title_bk", 233},
    {"BtnOk", 216},
    {"BtnCancel", 207},
    // The captioned faces in English.
    {"BtnPost-Normal-en", 260},
    {"BtnPost-Disable-en", 261},
    {"BtnPost-Hover-en", 262},
    {"BtnPost-Cancel-en", 263},
    {"BtnAdd-Normal-en", 264},
    {"BtnAdd-Hover-en", 265},
    {"BtnAdd-Disable-en", 266},
    {"BtnAdd2-Normal-en", 267},
    {"BtnAdd2-Hover-en", 268},
    {"BtnOk-en", 269},
    {"BtnCancel-en", 270},
};

constexpr unsigned kIconStrip = 234;
// The 2x and 3x rasters of a skin image are its resource id plus this, once and twice.
constexpr unsigned kDensityStep = 1000;

} // namespace

std::string CaptionedSkin(const std::string& name)
{
    return AppConfig::Instance().Language == UiLanguage::English ? name + "-en" : name;
}

void LoadSkin()
{
    ImageLister& lister = ImageLister::Instance();
    for (const SkinImage& image : kSkinImages) {
        lister.Add(image.name, image.resource);
        for (const int density : {2, 3})
            lister.AddDensity(image.name, density, image.resource + kDensityStep * (density - 1));
    }
}

void SetUpSkin()
{
    CombinBitmap& strip = CombinBitmap::Instance();
    strip.AddCells({{L"LeftCirc", 0, 0, 16, 16},
                    {L"RightCirc", 16, 0, 16, 16},
                    {L"Del", 32, 0, 16, 16},
                    {L"Search", 48, 0, 16, 16},
                    {L"Check", 64, 0, 16, 16},
                    {L"Editor", 80, 0, 16, 16}});
    strip.SetImage(kIconStrip);
    for (const int density : {2, 3})
        strip.SetDenseImage(density, kIconStrip + kDensityStep * (density - 1));
    LoadSkin();
}
