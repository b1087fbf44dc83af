#pragma once
// The remark editor the list's tiles share: one edit box over the caption strip of
// the tile being edited. The list commits the edit on a click elsewhere, on scrolling,
// on a new layout and when the box loses the focus, and drops it when the tile goes.

#include "UI/TextEditor.h"

#include <string>

class ListViewItem;

class RemarkEditing {
public:
    // A remark is one line of at most this many characters.
    static constexpr std::size_t Limit = 259;

    // Creates the hidden box as a child of the list's window.
    void Create(Platform::HWND listWindow);
    // Opens the box at place (list window coordinates) with text, all of it selected,
    // for the tile.
    void Begin(ListViewItem* tile, const Platform::RECT& place, const std::wstring& text);
    // Gives the typed text, made one line, to the tile being edited and closes the box.
    void Commit();
    // Closes the box unsaved when tile is the one being edited (it is going).
    void Forget(const ListViewItem* tile);
    void ForgetAll();
    ListViewItem* Tile() const { return tile; }
    Platform::HWND Window() const { return editor.Window(); }

    // At most Limit characters with the line breaks removed: a caption and the form
    // field have no room for breaks.
    static std::wstring OneLine(std::wstring text);

private:
    void Hide();

    TextEditor editor;
    // The tile being edited; not owned, and forgotten before it is deleted.
    ListViewItem* tile = nullptr;
};
