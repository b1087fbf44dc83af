#pragma once
// A growable in-memory file that holds a whole multipart request body before it is
// sent. Sizes and offsets are 32-bit; the buffer grows in steps of 64 KiB, and bytes
// between the old end and a write beyond it read as zeros.

#include <cstdint>
#include <string>
#include <vector>

class MemFile {
public:
    MemFile();
    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;
    virtual ~MemFile();

    virtual bool Close();
    virtual std::int32_t Read(void* destination, std::int32_t itemSize, std::int32_t itemCount);
    virtual std::int32_t Write(const void* source, std::int32_t itemSize, std::int32_t itemCount);
    // origin 0: from the start, 1: from the position, 2: from the end.
    virtual bool Seek(std::int32_t offset, int origin);
    virtual std::int32_t Tell() const;
    virtual std::int32_t Size() const;
    virtual bool Flush();
    virtual bool Eof() const;
    virtual int Error() const;
    virtual bool PutC(std::uint8_t byte);
    virtual int GetC();
    virtual char* GetS(char* destination, int count);
    // Formatted reading is not supported; nothing is read.
    virtual int Scanf(const char* format, void* output);

    const std::uint8_t* GetBuffer() const { return buffer; }

    // Multipart parts, each written with one Write of its whole text.
    void AddField(const std::string& name, const std::string& value);
    void AddNumberField(const std::string& name, std::int64_t number);
    // The file name goes out with its quotation marks, CR and LF as %22, %0D and %0A.
    void AddFile(const std::string& fileName, const std::uint8_t* data, std::int32_t length,
                 const std::string& fieldName);
    void End();

    // Keeps the boundary when its delimiter (a line feed, "--" and the boundary) occurs
    // only where the parts begin and end. A part that holds it would end there at the
    // server, and its rest would be read as parts of their own; such a body is given a
    // random boundary of the same shape that occurs nowhere in it, written in place of
    // the old one. Returns the boundary in use, for the request's Content-Type.
    const std::string& ChooseBoundary();
    const std::string& GetBoundary() const { return boundary; }

private:
    bool Grow(std::int64_t needed);
    // Zeroes the bytes between the end of the data and a position sought past it, so
    // that a write there never sends what the buffer held before.
    void ZeroGap();
    void WriteText(const std::string& text);
    // Writes "--", the boundary and the rest, and notes where the boundary is.
    void WriteDelimited(const std::string& rest);
    bool PartsHoldTheDelimiter() const;

    std::uint8_t* buffer = nullptr;
    std::int32_t size = 0;
    bool owns = true;
    std::int32_t position = 0;
    std::int32_t capacity = 0;
    std::string boundary;
    // Offsets of the boundary in each delimiter the multipart operations wrote, rising.
    std::vector<std::int32_t> boundaryOffsets;
};
