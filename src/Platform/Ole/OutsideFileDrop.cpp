#include "Platform/Ole/OutsideFileDrop.h"

#include "Platform/Ole/DropFiles.h"
#include "Platform/Ole/FileDropDataObject.h"
#include "Platform/Ole/RegisteredDropTarget.h"
#include "Platform/Win/Window.h"

#include <algorithm>

namespace Platform {
namespace {

std::vector<std::wstring> NamingPaths(const std::vector<std::wstring>& paths)
{
    std::vector<std::wstring> kept;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(kept), IsListablePath);
    return kept;
}

} // namespace

void DropFilesFromOutside(const std::vector<std::wstring>& paths, POINT screen, DWORD keyState)
{
    std::vector<std::wstring> files = NamingPaths(paths);
    const RegisteredDropTarget under = RegisteredDropTargetAt(screen);
    if (files.empty() || !under.target)
        return;
    POINT client = screen;
    ScreenToClient(under.window, &client);
    auto data = ComPtr<IDataObject>::Adopt(new FileDropDataObject(std::move(files), client));
    const POINTL point{screen.x, screen.y};
    // The button is held while the files are dragged in and released for the drop.
    const DWORD dragKeys = (keyState & (MK_CONTROL | MK_SHIFT)) | MK_LBUTTON;
    DWORD effect = DROPEFFECT_COPY;
    if (FAILED(under.target->DragEnter(data.Get(), dragKeys, point, &effect)))
        return;
    if (effect & DROPEFFECT_COPY) {
        effect = DROPEFFECT_COPY;
        under.target->DragOver(dragKeys, point, &effect);
    }
    if (!(effect & DROPEFFECT_COPY)) {
        under.target->DragLeave();
        return;
    }
    effect = DROPEFFECT_COPY;
    under.target->Drop(data.Get(), dragKeys & ~MK_LBUTTON, point, &effect);
}

} // namespace Platform
