#pragma once
// The demo's upload receiver: it takes the control's multipart posts, stores each file
// part under the demo folder's "uploads" folder and answers {"success":1,"files":[...]}
// as an upload server would. It also lists the demo folder's sample photos for the
// demo page's buttons.

#include <string>
#include <string_view>

class DemoReceiver {
public:
    explicit DemoReceiver(std::string folder);

    struct Reply {
        int status;
        std::string body; // JSON
    };
    // One post: its Content-Type header and body.
    Reply Receive(std::string_view contentType, std::string_view body);
    // A JSON array of the absolute paths of the pictures in the demo folder's "samples".
    std::string Samples() const;

private:
    std::string Store(std::string_view fileName, std::string_view content);

    std::string folder;
};
