#pragma once
// Which file names the control takes as pictures, from one table of the picture
// types it reads. Each way a file comes in has its own rule, named below; a rule
// accepts a name whose ending, without regard to case, is the extension of a type the
// rule lists. A new format is a decoder plus one entry in the table.
//
// The page's "addFile" keeps to the four types it always took (a page may rely on a
// .tif being refused there). Both drop targets, the control window and the list, take
// the same types as the file-add dialog lists, so a file is never taken by one drop
// target and refused by the other.
//
// HEIC/HEIF, AVIF and WebP are read but never written: an upload sends them as JPEG,
// and the name it sends ends in ".jpg" so that a server keeps the name and the bytes
// in agreement. TIFF keeps its name, as servers have always received it.

#include <string>

enum class PictureRule {
    // "addFile": the path must also name an existing file that is not a folder.
    PageAdd,
    // Files dropped on the control window outside the list: the path must also be
    // neither a root nor a folder.
    WindowDrop,
    // Files dropped on the list window: as for the control window.
    ListDrop,
    // The file-add dialog's grid: the name only; the listing has the entry's type.
    FolderListing,
};

// True when the path is a picture under the rule: its type and what it names.
bool IsPicturePath(const std::wstring& path, PictureRule rule);
// True when the path ends in a type the rule lists; the file is not looked at.
bool HasPictureType(const std::wstring& path, PictureRule rule);
// True when the path names what the rule takes for a file.
bool NamesPictureFile(const std::wstring& path, PictureRule rule);
// True when the extension (".jpg", any case) is a type of the table, whatever the rule.
bool IsPictureType(const std::wstring& extension);

// The name an upload gives a file of this name: for a type sent as JPEG, the name with
// ".jpg" in place of its extension; else the name unchanged.
std::wstring SentFileName(const std::wstring& fileName);
