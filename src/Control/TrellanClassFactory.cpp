#include "Control/TrellanClassFactory.h"

#include "Control/CTrellan.h"
#include "Control/TrellanModule.h"

using namespace Platform;

TrellanClassFactory::TrellanClassFactory()
{
    TrellanModule::Lock();
}

TrellanClassFactory::~TrellanClassFactory()
{
    TrellanModule::Unlock();
}

HRESULT TrellanClassFactory::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TrellanClassFactory::AddRef()
{
    return ++references;
}

ULONG TrellanClassFactory::Release()
{
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TrellanClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    return CTrellan::CreateInstance(outer, iid, object);
}

HRESULT TrellanClassFactory::LockServer(int lock)
{
    if (lock)
        TrellanModule::Lock();
    else
        TrellanModule::Unlock();
    return S_OK;
}
