#pragma once
// IAdviseSink: what an object tells a container that asked to hear of its changes.

#include "Platform/Com/Unknown.h"
#include "Platform/Ole/OleTypes.h"

namespace Platform {

// {0000010F-0000-0000-C000-000000000046}
inline constexpr IID IID_IAdviseSink = {0x0000010F, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IMoniker;

class IAdviseSink : public IUnknown {
public:
    virtual void OnDataChange(FORMATETC* format, STGMEDIUM* medium) = 0;
    // The object's picture of aspect has changed and needs drawing again.
    virtual void OnViewChange(DWORD aspect, LONG index) = 0;
    virtual void OnRename(IMoniker* moniker) = 0;
    virtual void OnSave() = 0;
    virtual void OnClose() = 0;

protected:
    ~IAdviseSink() = default;
};

} // namespace Platform
