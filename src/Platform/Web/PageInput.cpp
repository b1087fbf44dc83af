#include "Platform/Web/PageInput.h"

#include "Platform/Text/TextConv.h"
#include "Platform/Web/FileSpool.h"
#include "Platform/Web/WebBackend.h"
#include "Platform/Web/WebJson.h"
#include "Platform/Win/WinConstants.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Platform::Web {
namespace {

constexpr int kMaxCoordinate = 32767;
// A page may report a fast flick as many notches at once, not more than this.
constexpr int kMaxWheel = 120 * 64;

std::optional<POINT> Point(const Json::Value& message)
{
    const Json::Value& x = message["x"];
    const Json::Value& y = message["y"];
    if (!x.isNumeric() || !y.isNumeric())
        return std::nullopt;
    const double px = x.asDouble(), py = y.asDouble();
    if (!(px >= -kMaxCoordinate && px <= kMaxCoordinate && py >= -kMaxCoordinate && py <= kMaxCoordinate))
        return std::nullopt;
    return POINT{static_cast<LONG>(px), static_cast<LONG>(py)};
}

} // namespace

bool PageInput::Handle(const Json::Value& message)
{
    const std::string kind = message["t"].isString() ? message["t"].asString() : "";
    if (kind == "mouse") {
        Mouse(message);
    } else if (kind == "wheel") {
        const int delta = IntMember(message, "d", -kMaxWheel, kMaxWheel, 0);
        if (const auto point = Point(message); point && delta != 0)
            backend.InjectWheel(delta, *point);
    } else if (kind == "key") {
        const int key = IntMember(message, "vk", 1, 254, 0);
        if (key != 0 && message["down"].isBool())
            backend.InjectKey(static_cast<UINT>(key), message["down"].asBool());
    } else if (kind == "text") {
        const Json::Value& text = message["s"];
        if (text.isString() && text.asString().size() <= kMaxText)
            backend.InjectText(Utf8ToWide(text.asString()));
    } else if (kind == "file") {
        File(message);
    } else if (kind == "drop") {
        Drop(message);
    } else if (kind == "blur") {
        backend.InjectFocusLoss();
    } else if (kind == "ack") {
        const Json::Value& frame = message["n"];
        if (frame.isUInt())
            backend.Acknowledge(frame.asUInt());
    } else {
        return false;
    }
    return true;
}

void PageInput::Mouse(const Json::Value& message)
{
    using Action = Backend::MouseAction;
    const std::optional<POINT> point = Point(message);
    const Json::Value& action = message["a"];
    if (!point || !action.isString())
        return;
    const int button = IntMember(message, "b", 0, 2, 1);
    const std::string name = action.asString();
    if (name == "move")
        backend.InjectMouse(Action::Move, *point);
    else if (name == "down" && button != 1)
        backend.InjectMouse(button == 0 ? Action::LeftDown : Action::RightDown, *point);
    else if (name == "up" && button != 1)
        backend.InjectMouse(button == 0 ? Action::LeftUp : Action::RightUp, *point);
}

void PageInput::File(const Json::Value& message)
{
    const Json::Value& id = message["id"];
    const Json::Value& name = message["name"];
    const Json::Value& size = message["size"];
    if (!id.isUInt() || !name.isString() || !size.isUInt64())
        return;
    std::string refusal;
    if (!spool.Begin(id.asUInt(), name.asString(), size.asUInt64(), refusal))
        backend.SendNotice("The file was not taken: " + refusal + ".");
}

void PageInput::HandleChunk(std::string_view bytes)
{
    if (bytes.size() < 4)
        return;
    std::uint32_t id = 0;
    for (int i = 0; i < 4; ++i)
        id |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    spool.Append(id, bytes.substr(4));
}

void PageInput::Drop(const Json::Value& message)
{
    const std::optional<POINT> point = Point(message);
    const Json::Value& ids = message["ids"];
    if (!point || !ids.isArray() || ids.size() > kMaxDropFiles)
        return;
    std::vector<std::wstring> paths;
    for (const Json::Value& id : ids) {
        const std::filesystem::path path = id.isUInt() ? spool.PathOf(id.asUInt()) : std::filesystem::path();
        if (!path.empty())
            paths.push_back(Utf8ToWide(path.string()));
    }
    const DWORD keys = static_cast<DWORD>(IntMember(message, "keys", 0, 0xFFFF, 0)) & (MK_CONTROL | MK_SHIFT);
    if (!paths.empty())
        backend.InjectFileDrop(paths, *point, keys);
}

} // namespace Platform::Web
