#pragma once
// IDropSource: the side a drag starts from decides when it ends and how it looks.

#include "Platform/Com/Unknown.h"
#include "Platform/Ole/OleTypes.h"

namespace Platform {

inline constexpr IID IID_IDropSource = {0x00000121, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IDropSource : public IUnknown {
public:
    // S_OK to go on, DRAGDROP_S_DROP to drop where the pointer is, DRAGDROP_S_CANCEL to
    // end without a drop. keyState holds the MK_* flags.
    virtual HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
    // DRAGDROP_S_USEDEFAULTCURSORS to let the platform show the cursor for the effect.
    virtual HRESULT GiveFeedback(DWORD effect) = 0;

protected:
    ~IDropSource() = default;
};

} // namespace Platform
