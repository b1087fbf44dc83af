#pragma once
// The script actions that drive the control's window through the headless backend:
// resize, mouse, click, drag, drop, wheel, key, text and screenshot. Points are in the control
// window's client area, in the active window's with "window": "active", or on the
// screen with "screen": true.

#include <json/value.h>

#include <string>

namespace Platform {
struct HWND__;
}

class WindowActions {
public:
    explicit WindowActions(Platform::HWND__* controlWindow);

    // Whether the line is one of these actions.
    static bool Handles(const Json::Value& line);
    // Empty on success, else why the line is refused (or could not be carried out).
    std::string Run(const Json::Value& line);

private:
    std::string Resize(const Json::Value& size);
    std::string Mouse(const Json::Value& line);
    std::string Click(const Json::Value& line);
    // Press, moves and release queued at once.
    std::string Drag(const Json::Value& drag);
    // Files dropped at a point, as a file manager drops them.
    std::string Drop(const Json::Value& drop);
    std::string Wheel(const Json::Value& line);
    std::string Key(const Json::Value& line);
    std::string Text(const Json::Value& line);
    std::string Screenshot(const Json::Value& line);

    Platform::HWND__* control;
};
