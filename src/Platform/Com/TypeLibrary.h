#pragma once
// A type library loaded from its text: owns the type information of its types.

#include "Platform/Com/TypeInfo.h"

#include <atomic>
#include <memory>
#include <vector>

namespace Platform {

class TypeLibrary final : public ITypeLib {
public:
    struct Attributes {
        std::wstring name;
        std::wstring helpString;
        GUID guid{};
        WORD major = 0;
        WORD minor = 0;
    };

    // One reference owned by the caller.
    TypeLibrary(Attributes attributes, std::vector<TypeInfo::Description> types);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    UINT GetTypeInfoCount() override;
    HRESULT GetTypeInfo(UINT index, ITypeInfo** info) override;
    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override;
    HRESULT GetLibAttr(TLIBATTR* attributes) override;
    HRESULT GetDocumentation(int index, BSTR* name, BSTR* docString) override;

    const Attributes& attributes() const { return library; }
    const TypeInfo& Type(UINT index) const { return *types[index]; }

private:
    ~TypeLibrary() = default;

    std::atomic<ULONG> references{1};
    Attributes library;
    std::vector<std::unique_ptr<TypeInfo>> types;
};

} // namespace Platform
