#pragma once
// The whole upload's progress for the second toolbar band: files done of the total,
// the share of bytes sent, the speed since the start and the time left at that speed.
// The control's thread; it reads the records' progress counters, which the upload
// threads write.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

class ImageData;

class OverallProgress {
public:
    // A task starts with these files, at now (milliseconds of the tick clock).
    void Start(std::vector<std::shared_ptr<ImageData>> files, std::uint64_t now);
    // The file's upload is over, whatever its outcome.
    void FileDone(const ImageData* file);
    void Stop();
    bool Running() const { return running; }

    const std::vector<std::shared_ptr<ImageData>>& Files() const { return files; }
    int DoneCount() const { return static_cast<int>(done.size()); }
    int FileCount() const { return static_cast<int>(files.size()); }
    std::int64_t SentBytes() const;
    std::int64_t TotalBytes() const;
    // The band's text at now.
    std::wstring Text(std::uint64_t now) const;

private:
    static std::int64_t SizeOf(const ImageData& file);

    std::vector<std::shared_ptr<ImageData>> files;
    std::set<const ImageData*> done;
    std::uint64_t started = 0;
    bool running = false;
};
