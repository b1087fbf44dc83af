// skin-art: draws every skin image of the module into the resources folder's png
// folder, one PNG per image and density, named after the image (the icon strip as
// IconStrip.png; NAME@2x.png and NAME@3x.png at two and three times the pixels), the
// toolbox bitmap as bitmap/Toolbox.bmp, and optionally a sheet that shows the 1x
// images enlarged for review.
//   skin-art <resources folder> [<sheet.png>]

#include "ContactSheet.h"
#include "Icons.h"
#include "SkinFaces.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct SkinImage {
    std::string name;
    int width;
    int height;
    std::function<void(ArtCanvas&)> paint;
};

std::vector<SkinImage> SkinImages()
{
    return {
        {"CheckBox-Normal", 15, 15, [](ArtCanvas& c) { CheckBox(c, Checked::No, Hovered::No); }},
        {"CheckBox-Hover", 15, 15, [](ArtCanvas& c) { CheckBox(c, Checked::No, Hovered::Yes); }},
        {"CheckBox-Checked", 15, 15, [](ArtCanvas& c) { CheckBox(c, Checked::Yes, Hovered::No); }},
        {"CheckBox-CkHover", 15, 15, [](ArtCanvas& c) { CheckBox(c, Checked::Yes, Hovered::Yes); }},
        {"BtnNormal", 72, 25, [](ArtCanvas& c) { ButtonFace(c, Face::Normal); }},
        {"BtnHover", 72, 25, [](ArtCanvas& c) { ButtonFace(c, Face::Hover); }},
        {"BtnDown", 72, 25, [](ArtCanvas& c) { ButtonFace(c, Face::Down); }},
        {"BtnDisable", 72, 25, [](ArtCanvas& c) { ButtonFace(c, Face::Disabled); }},
        {"BtnCloseNormal", 15, 15, [](ArtCanvas& c) { CloseButton(c, Hovered::No); }},
        {"BtnCloseHover", 15, 15, [](ArtCanvas& c) { CloseButton(c, Hovered::Yes); }},
        {"BtnCloseVNormal", 25, 25, [](ArtCanvas& c) { ViewCloseButton(c, Hovered::No); }},
        {"BtnCloseVHover", 25, 25, [](ArtCanvas& c) { ViewCloseButton(c, Hovered::Yes); }},
        {"IcoAdd", 16, 16, AddIcon},
        {"IcoEdit", 15, 15, EditIcon},
        {"IcoInfo", 32, 32, InfoIcon},
        {"ico-left", 48, 48, [](ArtCanvas& c) { ViewArrow(c, Turn::Left); }},
        {"ico-right", 48, 48, [](ArtCanvas& c) { ViewArrow(c, Turn::Right); }},
        {"RotatioLeft", 16, 16, [](ArtCanvas& c) { RotateIcon(c, Turn::Left); }},
        {"RotatioRight", 16, 16, [](ArtCanvas& c) { RotateIcon(c, Turn::Right); }},
        {"Btn_Delete", 16, 16, DeleteIcon},
        {"BtnMax-Normal", 15, 15, [](ArtCanvas& c) { SizeButton(c, WindowButton::Maximise, Hovered::No); }},
        {"BtnMax-Hover", 15, 15, [](ArtCanvas& c) { SizeButton(c, WindowButton::Maximise, Hovered::Yes); }},
        {"BtnRestore-Normal", 15, 15, [](ArtCanvas& c) { SizeButton(c, WindowButton::Restore, Hovered::No); }},
        {"BtnRestore-Hover", 15, 15, [](ArtCanvas& c) { SizeButton(c, WindowButton::Restore, Hovered::Yes); }},
        {"Title_bk", 1, 32, TitleRamp},
        {"IconStrip", 96, 16, IconStrip},
    };
}

// The faces with a caption, in one language; suffix ends their names.
struct Captions {
    std::string suffix;
    std::string add;
    std::string post;
    std::string cancelPost;
    std::string ok;
    std::string cancel;
};

std::vector<SkinImage> CaptionedImages(const Captions& captions)
{
    const Captions& c = captions;
    const std::string& s = c.suffix;
    return {
        {"BtnPost-Normal" + s, 84, 24, [c](ArtCanvas& a) { PostButton(a, Face::Normal, c.post); }},
        {"BtnPost-Disable" + s, 84, 24, [c](ArtCanvas& a) { PostButton(a, Face::Disabled, c.post); }},
        {"BtnPost-Hover" + s, 84, 24, [c](ArtCanvas& a) { PostButton(a, Face::Hover, c.post); }},
        {"BtnPost-Cancel" + s, 84, 24, [c](ArtCanvas& a) { PostCancelButton(a, c.cancelPost); }},
        {"BtnAdd-Normal" + s, 84, 24, [c](ArtCanvas& a) { AddButton(a, Face::Normal, c.add); }},
        {"BtnAdd-Hover" + s, 84, 24, [c](ArtCanvas& a) { AddButton(a, Face::Hover, c.add); }},
        {"BtnAdd-Disable" + s, 84, 24, [c](ArtCanvas& a) { AddButton(a, Face::Disabled, c.add); }},
        {"BtnAdd2-Normal" + s, 203, 51, [c](ArtCanvas& a) { LargeAddButton(a, Face::Normal, c.add); }},
        {"BtnAdd2-Hover" + s, 203, 51, [c](ArtCanvas& a) { LargeAddButton(a, Face::Hover, c.add); }},
        {"BtnOk" + s, 55, 24, [c](ArtCanvas& a) { OkButton(a, c.ok); }},
        {"BtnCancel" + s, 51, 24, [c](ArtCanvas& a) { CancelButton(a, c.cancel); }},
    };
}

std::vector<SkinImage> AllImages()
{
    std::vector<SkinImage> images = SkinImages();
    for (const Captions& captions : {Captions{"", "添加照片", "上传", "取消上传", "确定", "取消"},
                                     Captions{"-en", "Add photos", "Upload", "Cancel", "OK", "Cancel"}}) {
        std::vector<SkinImage> captioned = CaptionedImages(captions);
        images.insert(images.end(), captioned.begin(), captioned.end());
    }
    return images;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <resources folder> [<sheet.png>]\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/png";
    ContactSheet sheet;
    for (const SkinImage& image : AllImages()) {
        for (const int density : {1, 2, 3}) {
            ArtCanvas canvas(image.width, image.height, density);
            image.paint(canvas);
            const std::string path =
                folder + "/" + image.name + (density == 1 ? "" : "@" + std::to_string(density) + "x") + ".png";
            if (!canvas.Save(path)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
            if (density == 1)
                sheet.Add(image.name, path);
        }
    }
    // Toolboxes take the colour of the bitmap's lower-left pixel as transparent: the
    // classic light grey.
    ArtCanvas toolbox(16, 16);
    ToolboxIcon(toolbox);
    const std::string bitmap = std::string(argv[1]) + "/bitmap/Toolbox.bmp";
    if (!toolbox.SaveBitmap(bitmap, Colour::Rgb(0xC0C0C0))) {
        std::fprintf(stderr, "cannot write %s\n", bitmap.c_str());
        return 1;
    }
    if (argc == 3 && !sheet.Save(argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
