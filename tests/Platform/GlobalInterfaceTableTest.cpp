#include "Platform/Com/Apartment.h"
#include "Platform/Com/GlobalInterfaceTable.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/MessageQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace Platform;

namespace {

constexpr IID IID_ICounter = {0x1234ABCD, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, 8}};

class ICounter : public IUnknown {
public:
    virtual HRESULT Increment(std::thread::id* ranOn) = 0;

protected:
    ~ICounter() = default;
};

template <class Derived> class RefCounted : public ICounter {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_ICounter) {
            *object = static_cast<ICounter*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override
    {
        const ULONG left = --references;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }
    std::atomic<ULONG> references{1};
};

class Counter final : public RefCounted<Counter> {
public:
    HRESULT Increment(std::thread::id* ranOn) override
    {
        *ranOn = std::this_thread::get_id();
        ++count;
        return S_OK;
    }
    int count = 0;
};

class CounterProxy final : public RefCounted<CounterProxy> {
public:
    CounterProxy(ICounter* target, ThreadCall call) : target(target), call(std::move(call)) {}
    HRESULT Increment(std::thread::id* ranOn) override
    {
        return call.Run([&] { return target->Increment(ranOn); });
    }
    ComPtr<ICounter> target;
    ThreadCall call;
};

void RegisterCounterProxy()
{
    RegisterProxyFactory(IID_ICounter, [](IUnknown* target, ThreadCall call) -> void* {
        ComPtr<ICounter> counter;
        target->QueryInterface(IID_ICounter, reinterpret_cast<void**>(counter.Put()));
        return static_cast<ICounter*>(new CounterProxy(counter.Get(), std::move(call)));
    });
}

// Serves the calling thread's queue until done becomes ready.
template <class T> T ServeUntil(std::future<T>& done)
{
    MSG message;
    while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        WaitMessageTimeout(10);
        PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
    }
    return done.get();
}

} // namespace

TEST(GlobalInterfaceTable, OwnerThreadGetsTheObjectAndOtherThreadsAProxyRunningOnTheOwner)
{
    RegisterCounterProxy();
    auto* counter = new Counter();
    DWORD cookie = 0;
    IGlobalInterfaceTable& table = GetGlobalInterfaceTable();
    ASSERT_EQ(table.RegisterInterfaceInGlobal(counter, IID_ICounter, &cookie), S_OK);

    ComPtr<ICounter> same;
    ASSERT_EQ(table.GetInterfaceFromGlobal(cookie, IID_ICounter, reinterpret_cast<void**>(same.Put())), S_OK);
    EXPECT_EQ(same.Get(), static_cast<ICounter*>(counter));

    std::promise<std::pair<HRESULT, std::thread::id>> result;
    auto done = result.get_future();
    std::thread worker([&] {
        ComPtr<ICounter> proxy;
        HRESULT hr = table.GetInterfaceFromGlobal(cookie, IID_ICounter, reinterpret_cast<void**>(proxy.Put()));
        std::thread::id ranOn;
        if (SUCCEEDED(hr)) {
            EXPECT_NE(proxy.Get(), static_cast<ICounter*>(counter));
            hr = proxy->Increment(&ranOn);
        }
        result.set_value({hr, ranOn});
    });
    const auto [hr, ranOn] = ServeUntil(done);
    worker.join();
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(counter->count, 1);

    EXPECT_EQ(table.RevokeInterfaceFromGlobal(cookie), S_OK);
    EXPECT_EQ(table.RevokeInterfaceFromGlobal(cookie), E_INVALIDARG);
    ComPtr<ICounter> gone;
    EXPECT_EQ(table.GetInterfaceFromGlobal(cookie, IID_ICounter, reinterpret_cast<void**>(gone.Put())), E_INVALIDARG);
    same = ComPtr<ICounter>();
    counter->Release();
}

TEST(GlobalInterfaceTable, AnInterfaceWhoseThreadEndedIsDisconnected)
{
    RegisterCounterProxy();
    DWORD cookie = 0;
    Counter* counter = new Counter();
    std::thread owner([&] { GetGlobalInterfaceTable().RegisterInterfaceInGlobal(counter, IID_ICounter, &cookie); });
    owner.join();
    ComPtr<ICounter> proxy;
    EXPECT_EQ(
        GetGlobalInterfaceTable().GetInterfaceFromGlobal(cookie, IID_ICounter, reinterpret_cast<void**>(proxy.Put())),
        RPC_E_DISCONNECTED);
    GetGlobalInterfaceTable().RevokeInterfaceFromGlobal(cookie);
    counter->Release();
}

TEST(Apartment, CountsCallsPerThreadAndRefusesAnotherModel)
{
    std::thread fresh([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        EXPECT_EQ(ApartmentDepth(), 2);
        CoUninitialize();
        CoUninitialize();
        EXPECT_EQ(ApartmentDepth(), 0);
        CoUninitialize();
        EXPECT_EQ(ApartmentDepth(), 0);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    });
    fresh.join();
}
