#pragma once
// The Global Interface Table: an interface registered by its owning thread can be
// fetched from any thread. The owning thread gets the object itself; another thread
// gets a proxy whose calls run on the owning thread (through its message queue) and
// block the caller until they are done.
//
// The table does not hold a reference to a registered object: the registrant keeps
// it alive until it revokes the cookie (an object registering itself would otherwise
// never be released). A proxy holds a reference of its own.
//
// A proxy is made by the factory registered for the interface's IID; the factory
// wraps the target in a class that forwards every method through a ThreadCall.

#include "Platform/Com/Unknown.h"

#include <functional>
#include <memory>

namespace Platform {

class MessageQueue;

// Runs calls on one thread and waits for them.
class ThreadCall {
public:
    explicit ThreadCall(std::weak_ptr<MessageQueue> owner) : owner(std::move(owner)) {}
    // RPC_E_DISCONNECTED when the owning thread has ended.
    HRESULT Run(const std::function<HRESULT()>& call) const;

private:
    std::weak_ptr<MessageQueue> owner;
};

// Returns a new proxy for target as a pointer to the factory's interface, with one
// reference owned by the caller, or null.
using ProxyFactory = std::function<void*(IUnknown* target, ThreadCall call)>;
void RegisterProxyFactory(REFIID iid, ProxyFactory factory);

class IGlobalInterfaceTable {
public:
    virtual ~IGlobalInterfaceTable() = default;
    virtual HRESULT RegisterInterfaceInGlobal(IUnknown* object, REFIID iid, DWORD* cookie) = 0;
    virtual HRESULT RevokeInterfaceFromGlobal(DWORD cookie) = 0;
    virtual HRESULT GetInterfaceFromGlobal(DWORD cookie, REFIID iid, void** object) = 0;
};

// The process's table (CLSID_StdGlobalInterfaceTable's single instance).
IGlobalInterfaceTable& GetGlobalInterfaceTable();

} // namespace Platform
