#include "Platform/Com/GlobalInterfaceTable.h"

#include "Platform/Win/MessageQueue.h"

#include <map>
#include <mutex>
#include <vector>

namespace Platform {
namespace {

struct Entry {
    IUnknown* object = nullptr;
    IID iid;
    std::weak_ptr<MessageQueue> owner;
};

std::mutex factoriesLock;
std::vector<std::pair<IID, ProxyFactory>>& Factories()
{
    static std::vector<std::pair<IID, ProxyFactory>> factories;
    return factories;
}

ProxyFactory FindFactory(REFIID iid)
{
    std::lock_guard guard(factoriesLock);
    for (auto& [key, factory] : Factories())
        if (key == iid)
            return factory;
    return nullptr;
}

class GlobalTable : public IGlobalInterfaceTable {
public:
    HRESULT RegisterInterfaceInGlobal(IUnknown* object, REFIID iid, DWORD* cookie) override
    {
        if (!object || !cookie)
            return E_INVALIDARG;
        std::lock_guard guard(lock);
        *cookie = ++lastCookie;
        entries.emplace(*cookie, Entry{object, iid, MessageQueue::ForCurrentThread()});
        return S_OK;
    }

    HRESULT RevokeInterfaceFromGlobal(DWORD cookie) override
    {
        std::lock_guard guard(lock);
        return entries.erase(cookie) ? S_OK : E_INVALIDARG;
    }

    HRESULT GetInterfaceFromGlobal(DWORD cookie, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        Entry entry;
        if (!Find(cookie, entry))
            return E_INVALIDARG;
        auto owner = entry.owner.lock();
        if (!owner)
            return RPC_E_DISCONNECTED;
        if (owner->IsOwnerThread())
            return entry.object->QueryInterface(iid, object);
        if (!(iid == entry.iid))
            return E_NOINTERFACE;
        ProxyFactory factory = FindFactory(iid);
        if (!factory)
            return E_NOINTERFACE;
        // The proxy takes its reference on the owning thread, where revoking happens
        // too, so the object cannot be going away meanwhile.
        ThreadCall call(entry.owner);
        return call.Run([&] {
            Entry current;
            if (!Find(cookie, current))
                return E_INVALIDARG;
            *object = factory(current.object, call);
            return *object ? S_OK : E_OUTOFMEMORY;
        });
    }

private:
    bool Find(DWORD cookie, Entry& out)
    {
        std::lock_guard guard(lock);
        auto it = entries.find(cookie);
        if (it == entries.end())
            return false;
        out = it->second;
        return true;
    }

    std::mutex lock;
    DWORD lastCookie = 0;
    std::map<DWORD, Entry> entries;
};

} // namespace

HRESULT ThreadCall::Run(const std::function<HRESULT()>& call) const
{
    auto queue = owner.lock();
    if (!queue)
        return RPC_E_DISCONNECTED;
    HRESULT result = RPC_E_DISCONNECTED;
    if (!queue->Invoke([&] { result = call(); }))
        return RPC_E_DISCONNECTED;
    return result;
}

void RegisterProxyFactory(REFIID iid, ProxyFactory factory)
{
    std::lock_guard guard(factoriesLock);
    for (auto& [key, existing] : Factories()) {
        if (key == iid) {
            existing = std::move(factory);
            return;
        }
    }
    Factories().emplace_back(iid, std::move(factory));
}

IGlobalInterfaceTable& GetGlobalInterfaceTable()
{
    static GlobalTable table;
    return table;
}

} // namespace Platform
