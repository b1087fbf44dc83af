#pragma once
// The process's private clipboard formats by name: what a drag of this system carries
// and what its drop targets look for.

#include "Platform/Ole/DataObject.h"

#include <map>
#include <mutex>
#include <string>

class FormatRegistry {
public:
    static FormatRegistry& Instance();

    // Registers the name with the platform once; a name the platform refuses stays unknown.
    void RegisterFormat(const std::wstring& name);
    // The name's descriptor (HGLOBAL content), with format 0 for an unknown name.
    Platform::FORMATETC LookupFormat(const std::wstring& name) const;
    // True when the data object offers any registered format (asked in name order).
    bool OffersAny(Platform::IDataObject* data) const;

private:
    FormatRegistry() = default;

    mutable std::mutex lock;
    std::map<std::wstring, Platform::FORMATETC> formats; // guarded by lock
};
