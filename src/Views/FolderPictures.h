#pragma once
// The pictures of one folder as the file-add dialog lists them: regular, visible,
// non-empty files with the names of pictures (PictureRule::FolderListing), by name
// without regard to case, then by bytes. Subfolders are not entered. Special files (FIFOs, devices) are never opened.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class ImageData;

// The records of the folder's pictures (cheap: names and sizes). Stops early, with
// what it has, when stop is set. Any thread.
std::vector<std::shared_ptr<ImageData>> ListFolderPictures(const std::wstring& folder, const std::atomic<bool>& stop);
