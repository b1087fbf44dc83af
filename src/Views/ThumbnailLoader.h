#pragma once
// Reads the pictures and thumbnails of a list's records off the control's thread, on
// one worker per processor, and tells the list's window about each record it filled
// by posting a message with the tile's id. Workers touch no window and no tile: they
// hold the records by shared handle, so a tile removed meanwhile costs nothing, and a
// window that is gone only drops the messages.

#include "Platform/Win/WinTypes.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ImageData;

class ThumbnailLoader {
public:
    struct Job {
        std::int32_t tileId;
        std::shared_ptr<ImageData> record;
    };
    // Fills a record; ImageData::Load unless a test needs another.
    using LoadFunction = std::function<void(ImageData&)>;

    // readyMessage goes to window with the tile id as wParam after each record;
    // finishedMessage once every record of a Start is done (not after a Stop).
    ThumbnailLoader(Platform::HWND window, Platform::UINT readyMessage, Platform::UINT finishedMessage,
                    unsigned workerCount = 0, LoadFunction load = {});
    // Stops, then waits for the records being read (at most one per worker): the
    // workers run this module's code and must not outlive it.
    ~ThumbnailLoader();
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    // The loader's work becomes the jobs whose records need loading (ImageData::NeedsLoad),
    // in order.
    void Start(std::vector<Job> jobs);
    // Forgets every job not begun and returns at once; records being read finish.
    void Stop();

private:
    void Work();
    void Finished();

    const Platform::HWND window;
    const Platform::UINT readyMessage;
    const Platform::UINT finishedMessage;
    const unsigned workerCount;
    const LoadFunction load;

    std::mutex mutex; // guards the fields below
    std::condition_variable wake; // work arrived or the loader closes
    std::deque<Job> queue; // jobs not begun
    int busy = 0; // workers reading a record now
    bool announce = false; // a Start waits for its finished message
    bool closing = false; // the destructor runs
    std::vector<std::thread> workers; // started by the first Start; written under mutex
};
