#pragma once
// Shows an upload task's progress on standard error: one line redrawn in place on a
// terminal, one line per event otherwise.

#include <string>
#include <vector>

class ImageData;

class ProgressView {
public:
    explicit ProgressView(std::size_t fileCount);

    void Progress(const ImageData& file);
    void Complete(const ImageData& file);
    void Error(const ImageData& file);
    // The summary line, then one line naming each file that failed.
    void TaskEnd(bool interrupted);

private:
    void Show(const std::string& event, const ImageData& file);

    bool terminal;
    std::size_t fileCount;
    std::size_t done = 0;
    // In the order of their first error; a file may report more than one.
    std::vector<const ImageData*> failed;
};
