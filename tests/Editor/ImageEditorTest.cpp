#include "EditorTestSupport.h"

#include "Editor/ImageEditor.h"
#include "Imaging/RasterConversion.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/ScrollBar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

using namespace Platform;
using namespace EditorTest;
using Action = Backend::MouseAction;
using Color = RasterImage::Color;

namespace {

// The canvas as the editor form places it in an 800 x 600 window: 714 x 515 with
// both bars, so a client area of 697 x 498.
class Canvas : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = OwnerWindow(0, 0, 800, 600);
        canvas.Create(owner);
        canvas.SetAnchors(AnchorTop | AnchorBottom | AnchorLeft | AnchorRight);
        canvas.SetMargins(79, 52, 7, 33);
        canvas.UpdateLayout();
        canvas.selectionSized.connect([this](std::wstring w, std::wstring h) { sized = {w, h}; });
    }
    void TearDown() override
    {
        canvas.DestroyWindows();
        DestroyWindow(owner);
        Pump();
    }

    void Open(int width, int height)
    {
        canvas.LoadPicture(PatternPicture(width, height));
        canvas.FitToWindow();
        Pump();
    }

    SCROLLINFO Bar(int bar)
    {
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        GetScrollInfo(canvas.hwnd, bar, &info);
        return info;
    }

    void Scroll(UINT message, WORD code) { SendMessageW(canvas.hwnd, message, MAKEWPARAM(code, 0), 0); }

    COLORREF Shown(int x, int y)
    {
        UpdateWindow(canvas.hwnd);
        HDC dc = GetDC(canvas.hwnd);
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(canvas.hwnd, dc);
        return color;
    }

    static COLORREF Ref(Color c) { return RGB(c.red, c.green, c.blue); }

    HWND owner = nullptr;
    ImageEditor canvas;
    std::pair<std::wstring, std::wstring> sized;
};

TEST_F(Canvas, KeepsBothBarsSoItsClientIs697By498)
{
    Open(300, 200);
    RECT client;
    GetClientRect(canvas.hwnd, &client);
    EXPECT_EQ(client, (RECT{0, 0, 697, 498}));
    RECT window;
    GetWindowRect(canvas.hwnd, &window);
    EXPECT_EQ(window, (RECT{79, 52, 793, 567}));
}

TEST_F(Canvas, ASmallPictureIsCentredOnTheBackground)
{
    Open(300, 200);
    EXPECT_EQ(canvas.PictureOrigin(), (POINT{198, 149}));
    EXPECT_EQ(canvas.tracker.bounds, (RECT{198, 149, 498, 349}));
    EXPECT_EQ(Shown(10, 10), 0xC0C0C0u);
    EXPECT_EQ(Shown(198, 149), Ref(Pattern(0, 0)));
    EXPECT_EQ(Shown(497, 348), Ref(Pattern(299, 199)));
    EXPECT_EQ(Shown(498, 349), 0xC0C0C0u);
}

TEST_F(Canvas, ALargePictureIsShownFittedButKeptAtItsOwnSize)
{
    Open(4000, 3000);
    EXPECT_EQ(canvas.ShownSize(), (SIZE{664, 498}));
    EXPECT_EQ(canvas.PictureOrigin(), (POINT{16, 0}));
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{4000, 3000}));
    EXPECT_FALSE(canvas.IsEdited());
    const RasterImage working = canvas.GetWorkingImage();
    EXPECT_EQ(working.GetWidth(), 4000);
    EXPECT_EQ(working.GetHeight(), 3000);
    EXPECT_EQ(Shown(15, 100), 0xC0C0C0u);
    EXPECT_NE(Shown(16, 100), 0xC0C0C0u);
    EXPECT_EQ(Shown(680, 100), 0xC0C0C0u);
}

TEST_F(Canvas, ALargePhotoShowsAtOnceFromAReducedDecodeAndEditsWaitForItsFullPixels)
{
    canvas.LoadPicture(PatternPicture(4000, 3000));
    // Only the canvas takes the worker's pixels, on its own thread, so they are not
    // taken before the loop runs.
    EXPECT_FALSE(canvas.HasFullPicture());
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{4000, 3000}));
    EXPECT_EQ(canvas.ShownSize(), (SIZE{664, 498}));
    EXPECT_EQ(Shown(15, 100), 0xC0C0C0u);
    EXPECT_NE(Shown(300, 200), 0xC0C0C0u);
    EXPECT_FALSE(canvas.HasFullPicture());

    canvas.TurnRight();
    EXPECT_TRUE(canvas.HasFullPicture());
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{3000, 4000}));
    EXPECT_EQ(At(canvas.GetWorkingImage(), 2999, 0), Pattern(0, 0));
    EXPECT_EQ(At(canvas.GetWorkingImage(), 0, 3999), Pattern(3999, 2999));
    Pump();
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{3000, 4000}));

    // A photo opened while another is still being read: the first one's late message
    // changes nothing.
    canvas.LoadPicture(PatternPicture(4000, 3000));
    canvas.LoadPicture(PatternPicture(300, 200));
    for (int i = 0; i < 100; ++i) {
        Pump();
        usleep(10000);
    }
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{300, 200}));
    EXPECT_EQ(canvas.PictureOrigin(), (POINT{198, 149}));
    EXPECT_EQ(canvas.ShownSize(), (SIZE{300, 200}));
    EXPECT_EQ(Shown(198, 149), Ref(Pattern(0, 0)));
}

TEST_F(Canvas, ALargePhotosFullPixelsReplaceTheReducedViewWhenTheyArrive)
{
    canvas.LoadPicture(PatternPicture(4000, 3000));
    for (int i = 0; i < 500 && !canvas.HasFullPicture(); ++i) {
        usleep(10000);
        Pump();
    }
    ASSERT_TRUE(canvas.HasFullPicture());
    // What is shown is the full picture scaled as the canvas scales it.
    RasterImage expected = PictureToRaster(PatternPicture(4000, 3000));
    ASSERT_TRUE(expected.ScaleTo(664, 498));
    for (const POINT at : {POINT{16, 0}, POINT{300, 200}, POINT{679, 497}})
        EXPECT_EQ(Shown(at.x, at.y), Ref(At(expected, at.x - 16, at.y))) << at.x;
    canvas.SetBrightness(40);
    EXPECT_TRUE(canvas.IsEdited());
    const RasterImage taken = canvas.TakeWorkingImage();
    EXPECT_EQ(taken.GetWidth(), 4000);
    EXPECT_GT(At(taken, 10, 10).green, Pattern(10, 10).green);
}

TEST_F(Canvas, ActualPixelsScrollsWithBarsWhoseEndShowsThePicturesLastColumn)
{
    Open(2000, 1000);
    canvas.ShowActualPixels();
    EXPECT_EQ(canvas.ShownSize(), (SIZE{2000, 1000}));
    SCROLLINFO h = Bar(SB_HORZ), v = Bar(SB_VERT);
    EXPECT_EQ(h.nMax - h.nMin + 1, 2000);
    EXPECT_EQ(h.nPage, 697u);
    EXPECT_EQ(v.nMax - v.nMin + 1, 1000);
    EXPECT_EQ(v.nPage, 498u);

    SetScrollPos(canvas.hwnd, SB_HORZ, 1200, TRUE);
    Scroll(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(GetScrollPos(canvas.hwnd, SB_HORZ), 1303);
    EXPECT_EQ(canvas.PictureOrigin().x, -1303);
    EXPECT_EQ(Shown(696, 0), Ref(Pattern(1999, 0)));
    Scroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(GetScrollPos(canvas.hwnd, SB_HORZ), 1303);

    SetScrollPos(canvas.hwnd, SB_VERT, 100, TRUE);
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(GetScrollPos(canvas.hwnd, SB_VERT), 0);
    CurrentBackend().InjectWheel(-120, POINT{300, 300});
    Pump();
    EXPECT_EQ(GetScrollPos(canvas.hwnd, SB_VERT), 1);
    EXPECT_EQ(canvas.PictureOrigin().y, -1);

    canvas.FitToWindow();
    EXPECT_EQ(GetScrollPos(canvas.hwnd, SB_HORZ), 0);
    EXPECT_EQ(canvas.ShownSize(), (SIZE{697, 348}));
    RECT client;
    GetClientRect(canvas.hwnd, &client);
    EXPECT_EQ(client, (RECT{0, 0, 697, 498}));
}

TEST_F(Canvas, TurnsFollowAtOnceAndToneKeepsThem)
{
    Open(600, 400);
    canvas.TurnLeft();
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{400, 600}));
    EXPECT_EQ(canvas.ShownSize(), (SIZE{332, 498}));
    EXPECT_EQ(canvas.tracker.bounds, (RECT{182, 0, 514, 498}));
    canvas.SetBrightness(50);
    RasterImage expected = PictureToRaster(PatternPicture(600, 400));
    expected.RotateLeft();
    expected.AdjustLight(50, 0);
    const RasterImage working = canvas.GetWorkingImage();
    ASSERT_EQ(working.GetWidth(), 400);
    for (POINT p : {POINT{0, 0}, POINT{399, 0}, POINT{123, 456}, POINT{399, 599}})
        EXPECT_EQ(At(working, p.x, p.y), At(expected, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_TRUE(canvas.IsEdited());
}

TEST_F(Canvas, SaturationKeepsBrightnessAndContrastAndResetDropsEverything)
{
    Open(64, 48);
    canvas.SetBrightness(30);
    canvas.SetContrast(-20);
    canvas.ApplySaturation(40);
    RasterImage expected = PictureToRaster(PatternPicture(64, 48));
    expected.AdjustLight(30, -20);
    expected.Saturate(40);
    const RasterImage working = canvas.GetWorkingImage();
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 5)
            ASSERT_EQ(At(working, x, y), At(expected, x, y)) << x << "," << y;
    UpdateWindow(canvas.hwnd);
    const POINT origin = canvas.PictureOrigin();
    EXPECT_EQ(Shown(origin.x + 5, origin.y + 7), Ref(At(expected, 5, 7)));

    canvas.ResetEdits();
    EXPECT_FALSE(canvas.IsEdited());
    EXPECT_EQ(At(canvas.GetWorkingImage(), 5, 7), Pattern(5, 7));
}

TEST_F(Canvas, ResizeScalesToExactlyTheSizeGivenWithoutPadding)
{
    Open(400, 300);
    canvas.ResizeTo(200, 100);
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{200, 100}));
    canvas.ResizeTo(0, 50);
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{200, 100}));
    // A crop after the resize works on the resized picture.
    canvas.TurnRight();
    EXPECT_EQ(canvas.GetWorkingImage().GetWidth(), 100);
}

TEST_F(Canvas, ADrawnSelectionShowsAndCutsItsOuterSize)
{
    Open(300, 200);
    canvas.SetCropEnabled(1);
    Drag(canvas.hwnd, POINT{250, 200}, POINT{300, 260});
    EXPECT_EQ(canvas.tracker.rect, (RECT{250, 200, 300, 260}));
    EXPECT_EQ(sized, (std::pair<std::wstring, std::wstring>{L"58", L"68"}));
    // The outline and a handle in the selection colour.
    EXPECT_EQ(Shown(249, 230), RGB(0x0A, 0x7C, 0xCA));
    EXPECT_EQ(Shown(248, 198), RGB(0x0A, 0x7C, 0xCA));
    canvas.CropToSelection();
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{58, 68}));
    EXPECT_TRUE(canvas.tracker.IsEmpty());
    EXPECT_EQ(At(canvas.GetWorkingImage(), 0, 0), Pattern(48, 47));
    EXPECT_EQ(At(canvas.GetWorkingImage(), 57, 67), Pattern(105, 114));
}

TEST_F(Canvas, ASelectionOnAFittedPictureCutsThePicturesOwnPixels)
{
    Open(4000, 3000);
    canvas.SetCropEnabled(1);
    // Origin (16, 0), 664 x 498 shown: a scale of 4000 / 664.
    Drag(canvas.hwnd, POINT{120, 100}, POINT{220, 200});
    const double scale = 4000.0 / 664.0;
    EXPECT_EQ(sized.first, std::to_wstring(std::lround(108 * scale)));
    canvas.CropToSelection();
    const SIZE cut = canvas.GetImageSize();
    EXPECT_EQ(cut.cx, std::lround(208 * scale) - std::lround(100 * scale));
    EXPECT_EQ(At(canvas.GetWorkingImage(), 0, 0),
              Pattern(static_cast<int>(std::lround(100 * scale)), static_cast<int>(std::lround(96 * scale))));
}

TEST_F(Canvas, ANewSelectionStopsAtThePicturesEdgeAndAPressOutsideRemovesIt)
{
    Open(300, 200);
    canvas.SetCropEnabled(1);
    Drag(canvas.hwnd, POINT{400, 200}, POINT{650, 260});
    EXPECT_EQ(canvas.tracker.rect, (RECT{400, 200, 498, 260}));
    Drag(canvas.hwnd, POINT{20, 20}, POINT{20, 20});
    EXPECT_TRUE(canvas.tracker.IsEmpty());
    Drag(canvas.hwnd, POINT{300, 300}, POINT{250, 250});
    EXPECT_EQ(canvas.tracker.rect, (RECT{250, 250, 300, 300}));
    canvas.CropToSelection();
    canvas.CropToSelection();
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{58, 58}));
}

TEST_F(Canvas, NoSelectionWhileCroppingIsOffAndViewChangesRemoveIt)
{
    Open(300, 200);
    Drag(canvas.hwnd, POINT{250, 200}, POINT{300, 260});
    EXPECT_TRUE(canvas.tracker.IsEmpty());
    canvas.SetCropEnabled(1);
    Drag(canvas.hwnd, POINT{250, 200}, POINT{300, 260});
    canvas.ShowActualPixels();
    EXPECT_TRUE(canvas.tracker.IsEmpty());
    canvas.CropToSelection();
    EXPECT_EQ(canvas.GetImageSize(), (SIZE{300, 200}));
}

TEST_F(Canvas, TheSelectionMovesWithThePictureWhenScrolled)
{
    Open(2000, 1000);
    canvas.ShowActualPixels();
    canvas.SetCropEnabled(1);
    Drag(canvas.hwnd, POINT{100, 100}, POINT{200, 150});
    SendMessageW(canvas.hwnd, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    EXPECT_EQ(canvas.tracker.rect, (RECT{99, 100, 199, 150}));
    canvas.CropToSelection();
    EXPECT_EQ(At(canvas.GetWorkingImage(), 0, 0), Pattern(96, 96));
}

TEST_F(Canvas, TheCursorFollowsTheHandleUnderThePointer)
{
    Open(300, 200);
    canvas.SetCropEnabled(1);
    Drag(canvas.hwnd, POINT{250, 200}, POINT{300, 260});
    auto cursorAt = [&](POINT client) {
        Mouse(canvas.hwnd, Action::Move, client);
        Pump();
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(POINT{250, 200}), LoadCursorW(nullptr, IDC_SIZENWSE));
    EXPECT_EQ(cursorAt(POINT{300, 200}), LoadCursorW(nullptr, IDC_SIZENESW));
    EXPECT_EQ(cursorAt(POINT{275, 200}), LoadCursorW(nullptr, IDC_SIZENS));
    EXPECT_EQ(cursorAt(POINT{250, 230}), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(cursorAt(POINT{275, 230}), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_EQ(cursorAt(POINT{20, 20}), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(Canvas, AnEmptyCanvasDoesNothing)
{
    canvas.LoadPicture(Platform::Gdiplus::Bitmap::FromMemory("not a picture", 13));
    canvas.FitToWindow();
    canvas.TurnLeft();
    canvas.SetBrightness(40);
    canvas.ResizeTo(10, 10);
    Pump();
    EXPECT_TRUE(canvas.GetWorkingImage().IsEmpty());
    EXPECT_FALSE(canvas.IsEdited());
    EXPECT_EQ(Shown(300, 200), 0xC0C0C0u);
}

} // namespace
