#pragma once
// What the control's diagnostic interface answers: its state as JSON values, read on
// the control's thread.

#include <json/value.h>

class MainView;

namespace ControlDiagnostics {

// The upload list's tiles (path, remark, selected, rotation, loaded), its scroll
// position and whether an upload runs.
Json::Value DescribeList(const MainView& view);
// The active file-add dialog (folder, tree rows, grid tiles, count and size texts), or
// null when the active window is not one.
Json::Value DescribeForm();
// The page's settings as the control holds them.
Json::Value DescribeConfig();
// The module's own file and its build identifier (the linker's build-id note), so a
// container can tell which of two builds it loaded.
Json::Value DescribeBuild();

} // namespace ControlDiagnostics
