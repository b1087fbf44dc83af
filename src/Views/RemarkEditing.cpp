#include "Views/RemarkEditing.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Window.h"
#include "Views/ListViewItem.h"

#include <utility>

using namespace Platform;

void RemarkEditing::Create(HWND listWindow)
{
    editor.Create(listWindow);
}

void RemarkEditing::Begin(ListViewItem* edited, const RECT& place, const std::wstring& text)
{
    const HWND box = editor.Window();
    editor.ShowAt(place);
    SetWindowTextW(box, text.c_str());
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, static_cast<LPARAM>(-1));
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    tile = edited;
}

void RemarkEditing::Commit()
{
    ListViewItem* edited = std::exchange(tile, nullptr);
    if (!edited)
        return;
    const std::wstring text = OneLine(GetWindowTextW(editor.Window()));
    Hide();
    edited->CommitRemark(text);
}

void RemarkEditing::Forget(const ListViewItem* going)
{
    if (going == tile)
        ForgetAll();
}

void RemarkEditing::ForgetAll()
{
    tile = nullptr;
    Hide();
}

std::wstring RemarkEditing::OneLine(std::wstring text)
{
    text.resize(std::min(text.size(), Limit));
    std::erase_if(text, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
    return text;
}

void RemarkEditing::Hide()
{
    ShowWindow(editor.Window(), SW_HIDE);
}
