#pragma once
// The site a page container gives its control (IObjectWithSite::SetSite), as a
// browser's site gives the document's address: here only the page's origin, such as
// "https://photos.example.com", which the control's rules for an untrusted caller use.

#include "Platform/Com/Bstr.h"
#include "Platform/Com/ComObject.h"
#include "Platform/Text/TextConv.h"

#include <string>

namespace Platform {

// {5B0F1C6E-2D47-4E8A-9C3B-7A1E6D2F4B90}
inline constexpr IID IID_IDocumentAddress = {
    0x5B0F1C6E, 0x2D47, 0x4E8A, {0x9C, 0x3B, 0x7A, 0x1E, 0x6D, 0x2F, 0x4B, 0x90}};

class IDocumentAddress : public IUnknown {
public:
    // The address of the document the control is in; the caller frees it.
    virtual HRESULT GetAddress(BSTR* address) = 0;

protected:
    ~IDocumentAddress() = default;
};

class DocumentSite final : public ComObject<IDocumentAddress, IID_IDocumentAddress> {
public:
    // Made with one reference, which its creator releases.
    static DocumentSite* Create(const std::string& address) { return new DocumentSite(address); }

    HRESULT GetAddress(BSTR* result) override
    {
        if (!result)
            return E_POINTER;
        *result = BstrFromWide(Utf8ToWide(address));
        return S_OK;
    }

private:
    explicit DocumentSite(std::string text) : address(std::move(text)) {}

    std::string address;
};

} // namespace Platform
