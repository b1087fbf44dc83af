#pragma once
// Turns the page's input messages into window-system input. Every message is checked
// (kind, ranges, sizes); one that does not fit is dropped, never half applied.
//   {"t":"mouse","a":"move"|"down"|"up","b":0 (left)|2 (right),"x","y"}  viewport points
//   {"t":"wheel","d":delta,"x","y"}   delta in 120ths of a notch, positive away from the user
//   {"t":"key","vk":1..254,"down":bool}
//   {"t":"text","s":committed text}
//   {"t":"blur"}                      the page lost the keyboard
//   {"t":"ack","n":frame}
//   {"t":"file","id","name","size"} then binary chunks (a 4-byte little-endian id and
//   bytes) stream a dropped file into the session's folder (a refused file is named in
//   a notice to the page, and its chunks are dropped);
//   {"t":"drop","ids":[...],"x","y","keys"} drops the finished ones at the point, with
//   the MK_CONTROL and MK_SHIFT bits of keys.

#include <json/value.h>

#include <string_view>

namespace Platform::Web {

class FileSpool;
class WebBackend;

class PageInput {
public:
    static constexpr unsigned kMaxText = 4096;

    static constexpr unsigned kMaxDropFiles = 1000;

    PageInput(WebBackend& backend, FileSpool& spool) : backend(backend), spool(spool) {}

    // False when the message is not input (another part of the session handles it).
    bool Handle(const Json::Value& message);
    // A binary message: a chunk of a dropped file.
    void HandleChunk(std::string_view bytes);

private:
    void Mouse(const Json::Value& message);
    void File(const Json::Value& message);
    void Drop(const Json::Value& message);

    WebBackend& backend;
    FileSpool& spool;
};

} // namespace Platform::Web
