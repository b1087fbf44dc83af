#pragma once
// The modal image editor of one tile: a resizable skinned form with seven tool tabs
// down its left side, one row of tool controls (a panel) above the canvas, and OK,
// which gives the edited picture to the tile, or Cancel and close, which drop it.
//
// The form keeps the tile's list and id, never the tile itself, so a tile that left
// the list while the form was open is simply not found on OK.

#include "Editor/ImageEditor.h"
#include "UI/ComboBox.h"
#include "UI/Controls/Button.h"
#include "UI/Controls/CheckBox.h"
#include "UI/ExtForm.h"
#include "UI/Label.h"
#include "UI/NumberField.h"
#include "UI/TrackBar.h"

#include "Platform/Signal.h"

#include <functional>
#include <map>
#include <memory>

class ImageData;
class ListViewItem;
class TileList;

enum class TextId;

class ImageEditForm : public ExtForm {
public:
    static constexpr int MinimumWidth = 707;
    static constexpr int MinimumHeight = 500;

    explicit ImageEditForm(ListViewItem* tile);
    ~ImageEditForm() override;

    // Runs the editor over owner for the tile and redraws the tile afterwards; refused
    // (false) while an upload runs or without a tile.
    static bool Edit(ListViewItem* tile, Platform::HWND owner);

    // Runs modally over owner; always 0 (-1 when the window cannot be made).
    Platform::INT_PTR DoModal(Platform::HWND owner, Platform::LPARAM initParam = 0);
    // The groups of controls the tabs switch between.
    enum class Panel { Size, Light, Saturate, Quality, Rotation, Clip };

    // Removes the selection, then shows the controls of that panel only.
    void ShowPanel(Panel shown);

    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result) override;
    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;

    ImageEditor canvas;
    Zivoro::UI::Controls::Button maximizeButton, closeButton, okButton, cancelButton;
    Zivoro::UI::Controls::Button sizeTab, lightTab, saturateTab, rotationTab, qualityTab, clipTab, undoTab;
    // Panel Size.
    Label widthLabel, heightLabel;
    Editor widthField, heightField;
    Zivoro::UI::Controls::CheckBox keepRatioBox;
    Zivoro::UI::Controls::Button resizeButton, actualPixelsButton, fitButton;
    // Panel Light.
    Label brightnessLabel, contrastLabel;
    ExtTrackBar brightnessSlider, contrastSlider;
    Editor brightnessField, contrastField;
    // Panel Saturate.
    Label saturationLabel;
    ExtTrackBar saturationSlider;
    Editor saturationField;
    Zivoro::UI::Controls::Button adjustButton;
    // Panel Quality.
    ComboBox formatList;
    Label qualityLabel;
    ExtTrackBar qualitySlider;
    Editor qualityField;
    Zivoro::UI::Controls::Button applyButton;
    // Panel Rotation.
    Zivoro::UI::Controls::Button turnLeftButton, turnRightButton;
    // Panel Clip.
    Label clipWidthLabel, clipHeightLabel;
    Editor clipWidthField, clipHeightField;
    Zivoro::UI::Controls::Button cropButton, clipUndoButton;

    std::multimap<Panel, ControlBase*> panels;
    // Each panel's row: how far its controls moved right of their design places, and
    // where the last longer text ended.
    struct Row {
        int shift = 0;
        int reach = 0;
    };
    std::map<Panel, Row> rows;
    Platform::Signal<void()> panelChanged;

private:
    static Platform::INT_PTR DialogProc(Platform::HWND dialog, Platform::UINT message, Platform::WPARAM wParam,
                                        Platform::LPARAM lParam);
    Platform::INT_PTR OnInitDialog(Platform::HWND dialog);
    void BuildFrameButtons();
    void BuildTabs();
    void BuildSizePanel();
    void BuildLightPanel();
    void BuildSaturatePanel();
    void BuildQualityPanel();
    void BuildRotationPanel();
    void BuildClipPanel();

    // Panel controls, registered under their panel's name.
    // Puts a control of the panel at its design place, or further right when its row
    // flows; TextEnds tells the row where a text placed there ends.
    void Place(Panel panel, ControlBase& control, int left, int top);
    void TextEnds(Panel panel, int left, int width);
    void AddLabel(Panel panel, Label& label, TextId text, int left, int top);
    void AddCheckBox(Panel panel, Zivoro::UI::Controls::CheckBox& box, TextId text, int left, int top);
    void AddButton(Panel panel, Zivoro::UI::Controls::Button& button, TextId text, int left, int top,
                   std::function<void()> clicked);
    void AddField(Panel panel, Editor& field, int left, int top);
    void AddSlider(Panel panel, ExtTrackBar& slider, int left, int top, int low, int high, int value);

    void OnOk();
    void OnMaximize();
    void OnQualityTab();
    void OnFormatChanged(int index);
    // Keeps the other size field in proportion when the ratio is kept.
    void OnSizeFieldChanged(Editor& edited);
    void UpdateResizeButton();
    // The size fields show the picture's size again, the tone controls 0.
    void ShowPictureState();
    void UndoEdits();
    // A size field's number, capped at the largest side a picture may have.
    static int SideOf(const Editor& field);
    Platform::LRESULT HitTestFrame(Platform::LPARAM lParam) const;
    void SetFrameCursor(int hitCode) const;
    void KeepMinimumSize(Platform::WPARAM edge, Platform::RECT* proposed) const;

    TileList* list = nullptr;
    std::int32_t tileId = 0;
    std::shared_ptr<ImageData> record;
    bool syncingFields = false;
};
