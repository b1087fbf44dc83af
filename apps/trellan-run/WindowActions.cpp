#include "WindowActions.h"

#include "Platform/Text/TextConv.h"
#include "Platform/Win/Backend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Window.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

using namespace Platform;

namespace {

using MouseAction = Backend::MouseAction;

constexpr std::array kActions = {"resize", "mouse", "click", "drag", "drop", "wheel", "key", "text", "screenshot"};

bool IsCoordinate(const Json::Value& value)
{
    return value.isIntegral() && value.asInt64() >= -32768 && value.asInt64() <= 32767;
}

const char* const kFlagsTakeBooleans = "shift, ctrl and screen take true or false";

// A line's true-or-false member: false when absent, nothing when of another type.
std::optional<bool> Flag(const Json::Value& line, const char* name)
{
    const Json::Value& value = line.get(name, false);
    return value.isBool() ? std::optional<bool>(value.asBool()) : std::nullopt;
}

// The window whose client area a line's points are in: the control window, or the
// active window with "window": "active"; null for points on the screen ("screen": true).
std::optional<HWND> PointWindow(HWND control, const Json::Value& line, std::string& refused)
{
    const std::optional<bool> screen = Flag(line, "screen");
    if (!screen) {
        refused = kFlagsTakeBooleans;
        return std::nullopt;
    }
    if (*screen)
        return HWND{nullptr};
    const Json::Value& which = line.get("window", "control");
    if (which == "control")
        return control;
    if (which != "active") {
        refused = "points are in the \"control\" or the \"active\" window";
        return std::nullopt;
    }
    if (!GetActiveWindow()) {
        refused = "there is no active window";
        return std::nullopt;
    }
    return GetActiveWindow();
}

// The screen point of a line's coordinates, or nothing (with the reason in refused).
std::optional<POINT> ScreenPoint(HWND control, const Json::Value& line, int x, int y, std::string& refused)
{
    const std::optional<HWND> window = PointWindow(control, line, refused);
    if (!window)
        return std::nullopt;
    POINT point{x, y};
    if (*window)
        ClientToScreen(*window, &point);
    return point;
}

// Holds the named modifier keys down for the lifetime of the object.
class Modifiers {
public:
    Modifiers(bool shift, bool control) : shift(shift), control(control)
    {
        if (shift)
            CurrentBackend().InjectKey(VK_SHIFT, true);
        if (control)
            CurrentBackend().InjectKey(VK_CONTROL, true);
    }
    ~Modifiers()
    {
        if (control)
            CurrentBackend().InjectKey(VK_CONTROL, false);
        if (shift)
            CurrentBackend().InjectKey(VK_SHIFT, false);
    }
    Modifiers(const Modifiers&) = delete;
    Modifiers& operator=(const Modifiers&) = delete;

private:
    bool shift;
    bool control;
};

const char* const kKeysTakeNames = "keys takes a list of \"shift\" and \"ctrl\"";

// The modifier keys a line names in its "keys" list; nothing for a bad list.
std::optional<std::pair<bool, bool>> ShiftAndCtrl(const Json::Value& line)
{
    const Json::Value& keys = line.get("keys", Json::Value(Json::arrayValue));
    if (!keys.isArray())
        return std::nullopt;
    bool shift = false, ctrl = false;
    for (const Json::Value& key : keys) {
        if (key == "shift")
            shift = true;
        else if (key == "ctrl")
            ctrl = true;
        else
            return std::nullopt;
    }
    return std::pair{shift, ctrl};
}

// A point given as [X, Y].
std::optional<std::pair<int, int>> PointPair(const Json::Value& value)
{
    if (!value.isArray() || value.size() != 2 || !IsCoordinate(value[0]) || !IsCoordinate(value[1]))
        return std::nullopt;
    return std::pair{value[0].asInt(), value[1].asInt()};
}

std::optional<UINT> VirtualKey(const std::string& name)
{
    static const std::map<std::string, UINT> named = {
        {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Delete", VK_DELETE}, {"Backspace", VK_BACK}, {"Tab", VK_TAB},
        {"Space", VK_SPACE},  {"Up", VK_UP},         {"Down", VK_DOWN},     {"Left", VK_LEFT},      {"Right", VK_RIGHT},
        {"Home", VK_HOME},    {"End", VK_END},       {"PageUp", VK_PRIOR},  {"PageDown", VK_NEXT},
    };
    if (auto it = named.find(name); it != named.end())
        return it->second;
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z')
        return static_cast<UINT>(name[0] - 'a' + 'A');
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
        return static_cast<UINT>(name[0]);
    return std::nullopt;
}

} // namespace

WindowActions::WindowActions(HWND__* controlWindow) : control(controlWindow) {}

bool WindowActions::Handles(const Json::Value& line)
{
    for (const char* action : kActions)
        if (line.isMember(action))
            return true;
    return false;
}

std::string WindowActions::Run(const Json::Value& line)
{
    if (!IsWindow(control))
        return "the control has no window";
    if (line.isMember("resize"))
        return Resize(line["resize"]);
    if (line.isMember("mouse"))
        return Mouse(line);
    if (line.isMember("click"))
        return Click(line);
    if (line.isMember("drag"))
        return Drag(line["drag"]);
    if (line.isMember("drop"))
        return Drop(line["drop"]);
    if (line.isMember("wheel"))
        return Wheel(line);
    if (line.isMember("key"))
        return Key(line);
    if (line.isMember("text"))
        return Text(line);
    return Screenshot(line);
}

std::string WindowActions::Resize(const Json::Value& size)
{
    if (!size.isArray() || size.size() != 2 || !size[0].isIntegral() || !size[1].isIntegral() ||
        size[0].asInt64() < 1 || size[1].asInt64() < 1 || size[0].asInt64() > 16384 || size[1].asInt64() > 16384)
        return "resize takes [WIDTH, HEIGHT], each from 1 to 16384";
    const int width = size[0].asInt(), height = size[1].asInt();
    if (const HWND container = GetParent(control))
        SetWindowPos(container, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(control, 0, 0, width, height, TRUE);
    return "";
}

std::string WindowActions::Mouse(const Json::Value& line)
{
    static const std::map<std::string, std::vector<MouseAction>> actions = {
        {"move", {MouseAction::Move}},
        {"down", {MouseAction::LeftDown}},
        {"up", {MouseAction::LeftUp}},
        {"dblclick", {MouseAction::LeftDown, MouseAction::LeftUp, MouseAction::LeftDown, MouseAction::LeftUp}},
        {"rdown", {MouseAction::RightDown}},
    };
    const auto found = line["mouse"].isString() ? actions.find(line["mouse"].asString()) : actions.end();
    if (found == actions.end() || !IsCoordinate(line["x"]) || !IsCoordinate(line["y"]))
        return "mouse takes \"move\", \"down\", \"up\", \"dblclick\" or \"rdown\" with integer x and y";
    std::string refused;
    const auto point = ScreenPoint(control, line, line["x"].asInt(), line["y"].asInt(), refused);
    if (!point)
        return refused;
    const auto keys = ShiftAndCtrl(line);
    if (!keys)
        return kKeysTakeNames;
    Modifiers held(keys->first, keys->second);
    CurrentBackend().InjectMouse(MouseAction::Move, *point);
    for (MouseAction action : found->second)
        CurrentBackend().InjectMouse(action, *point);
    return "";
}

std::string WindowActions::Click(const Json::Value& line)
{
    const Json::Value& at = line["click"];
    if (!at.isArray() || at.size() != 2 || !IsCoordinate(at[0]) || !IsCoordinate(at[1]))
        return "click takes [X, Y]";
    std::string refused;
    const auto point = ScreenPoint(control, line, at[0].asInt(), at[1].asInt(), refused);
    if (!point)
        return refused;
    CurrentBackend().InjectMouse(MouseAction::Move, *point);
    CurrentBackend().InjectMouse(MouseAction::LeftDown, *point);
    CurrentBackend().InjectMouse(MouseAction::LeftUp, *point);
    return "";
}

std::string WindowActions::Drag(const Json::Value& drag)
{
    const auto from = drag.isObject() ? PointPair(drag["from"]) : std::nullopt;
    const auto to = drag.isObject() ? PointPair(drag["to"]) : std::nullopt;
    if (!from || !to)
        return "drag takes {\"from\": [X, Y], \"to\": [X, Y], \"keys\": [...]}";
    const auto keys = ShiftAndCtrl(drag);
    if (!keys)
        return kKeysTakeNames;
    std::string refused;
    const auto start = ScreenPoint(control, drag, from->first, from->second, refused);
    const auto end = ScreenPoint(control, drag, to->first, to->second, refused);
    if (!start || !end)
        return refused;
    // Everything is queued before the loop runs again, so a drag loop that the press
    // and the first move open takes the rest of the gesture inside this one line.
    // The first move stays a few pixels from the press, in the window that took it, as
    // a hand's would: that window is the one that starts a drag.
    Modifiers held(keys->first, keys->second);
    const auto step = [](LONG from, LONG to) { return from + std::clamp<LONG>(to - from, -4, 4); };
    const POINT first{step(start->x, end->x), step(start->y, end->y)};
    const POINT middle{(start->x + end->x) / 2, (start->y + end->y) / 2};
    CurrentBackend().InjectMouse(MouseAction::Move, *start);
    CurrentBackend().InjectMouse(MouseAction::LeftDown, *start);
    CurrentBackend().InjectMouse(MouseAction::Move, first);
    CurrentBackend().InjectMouse(MouseAction::Move, middle);
    CurrentBackend().InjectMouse(MouseAction::Move, *end);
    CurrentBackend().InjectMouse(MouseAction::LeftUp, *end);
    return "";
}

std::string WindowActions::Drop(const Json::Value& drop)
{
    const char* const usage = "drop takes {\"paths\": [...], \"x\": X, \"y\": Y, \"keys\": [...]}";
    if (!drop.isObject() || !drop["paths"].isArray() || !IsCoordinate(drop["x"]) || !IsCoordinate(drop["y"]))
        return usage;
    std::vector<std::wstring> paths;
    for (const Json::Value& path : drop["paths"]) {
        if (!path.isString())
            return usage;
        paths.push_back(Utf8ToWide(path.asString()));
    }
    const auto keys = ShiftAndCtrl(drop);
    if (!keys)
        return kKeysTakeNames;
    std::string refused;
    const auto point = ScreenPoint(control, drop, drop["x"].asInt(), drop["y"].asInt(), refused);
    if (!point)
        return refused;
    const DWORD keyState = (keys->first ? MK_SHIFT : 0) | (keys->second ? MK_CONTROL : 0);
    CurrentBackend().InjectFileDrop(paths, *point, keyState);
    return "";
}

std::string WindowActions::Wheel(const Json::Value& line)
{
    if (!IsCoordinate(line["wheel"]) || !IsCoordinate(line["x"]) || !IsCoordinate(line["y"]))
        return "wheel takes a delta from -32768 to 32767 with integer x and y";
    std::string refused;
    const auto point = ScreenPoint(control, line, line["x"].asInt(), line["y"].asInt(), refused);
    if (!point)
        return refused;
    CurrentBackend().InjectMouse(MouseAction::Move, *point);
    CurrentBackend().InjectWheel(line["wheel"].asInt(), *point);
    return "";
}

std::string WindowActions::Key(const Json::Value& line)
{
    const auto key = line["key"].isString() ? VirtualKey(line["key"].asString()) : std::nullopt;
    if (!key)
        return "key takes a key name (Enter, Escape, Delete, Up, Down, a letter or a digit ...)";
    const std::optional<bool> shift = Flag(line, "shift");
    const std::optional<bool> ctrl = Flag(line, "ctrl");
    if (!shift || !ctrl)
        return kFlagsTakeBooleans;
    Modifiers held(*shift, *ctrl);
    CurrentBackend().InjectKey(*key, true);
    CurrentBackend().InjectKey(*key, false);
    return "";
}

std::string WindowActions::Text(const Json::Value& line)
{
    if (!line["text"].isString())
        return "text takes a string";
    CurrentBackend().InjectText(Utf8ToWide(line["text"].asString()));
    return "";
}

std::string WindowActions::Screenshot(const Json::Value& line)
{
    const Json::Value& path = line["screenshot"];
    const std::string which = line.get("window", "control").isString() ? line.get("window", "control").asString() : "";
    const Backend& screen = CurrentBackend();
    if (!path.isString() || path.asString().empty() || (which != "control" && which != "active" && which != "all"))
        return "screenshot takes a path and a window of \"control\", \"active\" or \"all\"";
    bool written;
    if (which == "all") {
        written = screen.ScreenshotAll(path.asString());
    } else if (which == "active") {
        written = screen.Screenshot(GetActiveWindow(), path.asString());
    } else {
        HWND top = control;
        while (GetWindowStyle(top) & WS_CHILD)
            top = GetParent(top);
        RECT area, topRect;
        GetWindowRect(control, &area);
        GetWindowRect(top, &topRect);
        OffsetRect(&area, -topRect.left, -topRect.top);
        written = screen.Screenshot(top, path.asString(), &area);
    }
    return written ? "" : "cannot write the screenshot " + path.asString();
}
