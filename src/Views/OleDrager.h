#pragma once
// Starts a tile drag: a press prepares it with the data to carry, the next move runs
// it, a release without a move cancels it.

#include "Platform/Com/Unknown.h"
#include "Platform/Ole/DataObject.h"

class IDropSourceImpl;

class OleDrager {
public:
    OleDrager();
    virtual ~OleDrager();
    OleDrager(const OleDrager&) = delete;
    OleDrager& operator=(const OleDrager&) = delete;

    void Prepare(Platform::IDataObject* data);
    bool IsPending() const;
    // Runs the prepared drag from the window (copy is the only effect offered) until it
    // drops or is cancelled; nothing when the window is gone or nothing was prepared.
    void Run(Platform::HWND window);
    void Cancel();

private:
    bool pending = false;
    Platform::ComPtr<Platform::IDataObject> data;
    IDropSourceImpl* source;
};
