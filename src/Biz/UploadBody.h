#pragma once
// What one upload sends, made before it connects: the picture (the file's own bytes,
// or the picture scaled to the configured box and encoded), its name, the form
// fields, the multipart body and the request's header lines.

#include "Http/MemFile.h"

#include <cstdint>
#include <string>

class AppConfig;
class ImageData;

class UploadBody {
public:
    // Builds the body and sets the record's uploadSize (sentBytes to 0); a non-empty
    // origin is sent as the request's Origin. Empty when the body is ready, else why the
    // file cannot be sent. Runs on the upload thread.
    std::string Prepare(ImageData& file, const AppConfig& config, const std::string& origin);

    const MemFile& Body() const { return body; }
    const std::string& HeaderText() const { return headerText; }
    // Bytes of the picture in the body.
    std::int32_t PictureLength() const { return pictureLength; }

private:
    MemFile body;
    std::string headerText;
    std::int32_t pictureLength = 0;
};
