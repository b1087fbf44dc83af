#pragma once
// The data object of files dropped from outside the process: it offers the paths as a
// file list (CF_HDROP in a global block) and nothing else.

#include "Platform/Ole/DataObjectBase.h"

#include <string>
#include <vector>

namespace Platform {

class FileDropDataObject final : public DataObjectBase {
public:
    // point: the drop point in the target window's client area, as the list records it.
    FileDropDataObject(std::vector<std::wstring> paths, POINT point);

    // Each call hands out a new file list that the caller releases.
    HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT QueryGetData(FORMATETC* format) override;
    // The files are fixed: E_NOTIMPL.
    HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;

private:
    const std::vector<std::wstring> paths;
    const POINT point;
};

} // namespace Platform
