#pragma once
// Shows an upload task's progress on standard error: one line redrawn in place on a
// terminal, one line per event otherwise.

#include <set>
#include <string>

class ImageData;

class ProgressView {
public:
    explicit ProgressView(std::size_t fileCount);

    void Progress(const ImageData& file);
    void Complete(const ImageData& file);
    void Error(const ImageData& file);
    void TaskEnd(bool interrupted);

private:
    void Show(const std::string& event, const ImageData& file);

    bool terminal;
    std::size_t fileCount;
    std::size_t done = 0;
    // A file may report more than one error; each counts once.
    std::set<const ImageData*> failed;
};
