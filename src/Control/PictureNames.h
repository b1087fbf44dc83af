#pragma once
// Which paths the control takes as pictures. The page's "addFile" and files dropped on
// the control window follow different rules, both kept: the page names a path ending
// in ".gif", ".png", ".jpg" or ".bmp"; a dropped file's extension need only end in one
// of those letters (so "a.xjpg" is taken from a drop, not from the page). Case never
// matters. Folders are never pictures, whatever their names.

#include <string>

// The page's rule; the path must also name an existing file that is not a folder.
bool IsPageAddablePicture(const std::wstring& path);
// The drop rule; the path must name something that is neither the root nor a folder.
bool IsDroppablePicture(const std::wstring& path);
