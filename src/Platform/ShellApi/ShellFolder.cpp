#include "Platform/ShellApi/ShellFolder.h"

#include "Platform/Com/ComObject.h"
#include "Platform/ShellApi/ShellItemIds.h"
#include "Platform/ShellApi/ShellNamespace.h"

#include <cstdlib>

namespace Platform {
namespace {

class Allocator final : public ComObject<IMalloc, IID_IMalloc> {
public:
    void* Alloc(std::size_t size) override { return std::malloc(size); }
    void Free(void* block) override { std::free(block); }
};

class ChildList final : public ComObject<IEnumIDList, IID_IEnumIDList> {
public:
    explicit ChildList(std::vector<ShellStep> children) : children(std::move(children)) {}

    HRESULT Next(ULONG count, PITEMID_CHILD* items, ULONG* fetched) override
    {
        if (!items)
            return E_POINTER;
        ULONG given = 0;
        while (given < count && next < children.size()) {
            items[given] = ILFromSteps({children[next]});
            if (!items[given])
                break;
            ++given;
            ++next;
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }

private:
    std::vector<ShellStep> children;
    std::size_t next = 0;
};

class ShellFolderObject final : public ComObject<IShellFolder, IID_IShellFolder> {
public:
    ShellFolderObject(std::vector<ShellStep> steps, ShellLocation location)
        : steps(std::move(steps)), location(std::move(location))
    {
    }

    HRESULT EnumObjects(HWND, DWORD flags, IEnumIDList** items) override
    {
        if (!items)
            return E_POINTER;
        *items = new ChildList(ChildSteps(location, flags));
        return S_OK;
    }

    HRESULT BindToObject(PCUIDLIST_RELATIVE item, void*, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!(iid == IID_IShellFolder))
            return E_NOINTERFACE;
        const std::optional<std::vector<ShellStep>> relative = ILToSteps(item);
        if (!relative)
            return E_INVALIDARG;
        std::vector<ShellStep> combined = steps;
        combined.insert(combined.end(), relative->begin(), relative->end());
        std::optional<ShellLocation> target = ResolveLocation(combined);
        if (!target || target->kind == ShellLocation::Kind::File)
            return E_FAIL;
        *object = static_cast<IShellFolder*>(new ShellFolderObject(std::move(combined), std::move(*target)));
        return S_OK;
    }

private:
    std::vector<ShellStep> steps;
    ShellLocation location;
};

} // namespace

HRESULT SHGetDesktopFolder(IShellFolder** folder)
{
    if (!folder)
        return E_POINTER;
    *folder = new ShellFolderObject({}, *ResolveLocation({}));
    return S_OK;
}

HRESULT SHGetMalloc(IMalloc** allocator)
{
    if (!allocator)
        return E_POINTER;
    *allocator = new Allocator;
    return S_OK;
}

} // namespace Platform
