#include "Biz/AppState.h"

AppState& AppState::Instance()
{
    // Created on first use and never destroyed, so late worker threads never see it go.
    static AppState* instance = new AppState();
    return *instance;
}

void AppState::SetUploading()
{
    Zivoro::Threading::ScopedLock guard(lock);
    ++taskNumber;
    state = Uploading;
}

void AppState::SetEnded()
{
    Zivoro::Threading::ScopedLock guard(lock);
    state = Ended;
}

void AppState::Reset()
{
    Zivoro::Threading::ScopedLock guard(lock);
    state = Idle;
}
