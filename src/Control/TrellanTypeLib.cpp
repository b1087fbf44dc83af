#include "Control/TrellanTypeLib.h"

#include "Control/ITrellan.h"
#include "Platform/Resources/ResourceTable.h"

using namespace Platform;

namespace {

struct LoadedLibrary {
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> trellan;

    LoadedLibrary()
    {
        const ResourceEntry* resource = FindEmbeddedResource("TYPELIB", 1);
        if (!resource)
            return;
        const std::string_view text(reinterpret_cast<const char*>(resource->bytes.data()), resource->bytes.size());
        ITypeLib* loaded = nullptr;
        if (FAILED(LoadTypeLibFromText(text, &loaded)))
            return;
        library = ComPtr<ITypeLib>::Adopt(loaded);
        library->GetTypeInfoOfGuid(IID_ITrellan, trellan.Put());
    }
};

const LoadedLibrary& Loaded()
{
    static const LoadedLibrary loaded;
    return loaded;
}

} // namespace

ITypeLib* TrellanTypeLib()
{
    return Loaded().library.Get();
}

ITypeInfo* TrellanTypeInfo()
{
    return Loaded().trellan.Get();
}
