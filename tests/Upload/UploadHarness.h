#pragma once
// What the engine's tests share: an upload list of real records made from generated
// photos, the events the engine posts (drained on the test's thread, as the control's
// thread would), and the configuration put back after each test.

#include "Biz/AppConfig.h"
#include "Biz/EventQueue.h"
#include "Biz/ImageData.h"
#include "Biz/MsgMailbox.h"
#include "Biz/UploadItem.h"
#include "Biz/UploadList.h"
#include "Biz/UploadManager.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include "TestPaths.h"

namespace UploadHarness {

using namespace std::chrono_literals;

class TestItem : public UploadItem {
public:
    explicit TestItem(std::shared_ptr<ImageData> file) : file(std::move(file)) {}
    std::shared_ptr<ImageData> File() const override { return file; }

private:
    std::shared_ptr<ImageData> file;
};

class TestList : public UploadList {
public:
    TestItem* Add(const std::filesystem::path& path)
    {
        items.push_back(std::make_unique<TestItem>(std::make_shared<ImageData>(path.wstring())));
        return items.back().get();
    }
    std::vector<UploadItem*> UploadItems() const override
    {
        std::vector<UploadItem*> list;
        for (const auto& item : items)
            list.push_back(item.get());
        return list;
    }
    TestItem& operator[](std::size_t i) { return *items[i]; }
    std::size_t Size() const { return items.size(); }

private:
    std::vector<std::unique_ptr<TestItem>> items;
};

struct Event {
    std::string name;
    UploadItem* item = nullptr;
    std::shared_ptr<ImageData> file;
};

// A folder of generated photos, removed with the object.
class PhotoFolder {
public:
    PhotoFolder(int count, const std::string& size = "64x48", bool noise = false)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-photos-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        std::vector<std::string> command = {"python3",       TestPaths::SourceDir() + "/tests/support/make_photos.py",
                                            folder.string(), std::to_string(count),
                                            "--size",        size};
        if (noise)
            command.push_back("--noise");
        TestSupport::ChildProcess maker(command);
        EXPECT_EQ(maker.WaitExit(60s), 0) << maker.Errors();
        std::istringstream lines(maker.Output());
        for (std::string line; std::getline(lines, line);)
            paths.push_back(line);
    }
    ~PhotoFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    const std::filesystem::path& Folder() const { return folder; }

    std::vector<std::filesystem::path> paths;

private:
    std::filesystem::path folder;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppConfig::Instance() = AppConfig();
        EventQueue& queue = EventQueue::Instance();
        queue.DiscardPending();
        for (const char* name : {"post_process", "post_complete", "post_error"}) {
            queue.Connect(name, [this, name](int id) {
                const auto record = MsgMailbox::Instance().Take(id);
                events.push_back({name, record ? record->item : nullptr, record ? record->file : nullptr});
            });
        }
        for (const char* name : {"task_end", "task_complete"})
            queue.Connect(name, [this, name](int) { events.push_back({name, nullptr, nullptr}); });
        manager.SetOwner(&list);
    }
    void TearDown() override
    {
        manager.Stop();
        WaitForIdle();
        EventQueue::Instance().DiscardPending();
        AppConfig::Instance() = AppConfig();
    }

    // Drains events until "task_end" (and a possible "task_complete") has come and
    // the task thread is done.
    bool RunToEnd(std::chrono::milliseconds limit = 60s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            EventQueue::Instance().Drain();
            if (Count("task_end") > 0 && !manager.IsRunning()) {
                EventQueue::Instance().Drain();
                return true;
            }
            std::this_thread::sleep_for(5ms);
        }
        ADD_FAILURE() << "the task did not end";
        return false;
    }
    void WaitForIdle()
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (manager.IsRunning() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
    }

    int Count(const std::string& name, const ImageData* file = nullptr) const
    {
        int count = 0;
        for (const Event& event : events)
            count += event.name == name && (!file || event.file.get() == file) ? 1 : 0;
        return count;
    }
    std::vector<std::string> Names(bool withProgress = false) const
    {
        std::vector<std::string> names;
        for (const Event& event : events) {
            if (withProgress || event.name != "post_process")
                names.push_back(event.name);
        }
        return names;
    }

    UploadManager manager;
    TestList list;
    std::vector<Event> events;
};

} // namespace UploadHarness
