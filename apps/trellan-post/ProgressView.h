#pragma once
// Shows an upload task's progress on standard error: one line redrawn in place on a
// terminal, one line per event otherwise. Files are named by the paths given on the
// command line, each failure says why, and the end lists every file with its id so
// that the ids of "post_complete" can be matched to files.

#include <map>
#include <set>
#include <string>
#include <vector>

class ImageData;

class ProgressView {
public:
    struct File {
        const ImageData* record;
        std::string path; // as given on the command line
    };

    explicit ProgressView(std::vector<File> files);

    void Progress(const ImageData& file);
    void Complete(const ImageData& file);
    void Error(const ImageData& file, const std::string& reason);
    // The summary line, then one line per file: its id, its outcome and its path.
    void TaskEnd(bool interrupted);

private:
    const std::string& PathOf(const ImageData& file) const;
    void Show(const std::string& event, const ImageData& file);

    bool terminal;
    std::vector<File> files;
    std::set<const ImageData*> sent;
    // The last failure of each file that has not been sent; a file may report more
    // than one, each counts once.
    std::map<const ImageData*, std::string> failed;
};
