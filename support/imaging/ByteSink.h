#pragma once
// Where an encoder's bytes go: a file or memory. A failed write is sticky.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace imaging {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const void* data, size_t size) = 0;
    // Overwrites bytes already written at offset (from where the sink began).
    virtual void patch(uint64_t offset, const void* data, size_t size) = 0;
    virtual uint64_t position() const = 0;
    virtual bool ok() const = 0;
};

class MemorySink : public ByteSink {
public:
    explicit MemorySink(std::vector<uint8_t>& out) : out_(out) {}
    void write(const void* data, size_t size) override;
    void patch(uint64_t offset, const void* data, size_t size) override;
    uint64_t position() const override { return out_.size(); }
    bool ok() const override { return ok_; }

private:
    std::vector<uint8_t>& out_;
    bool ok_ = true;
};

// Writes through a FILE opened for binary writing, positioned at start.
class FileSink : public ByteSink {
public:
    FileSink(std::FILE* file, uint64_t start) : file_(file), position_(start) {}
    void write(const void* data, size_t size) override;
    void patch(uint64_t offset, const void* data, size_t size) override;
    uint64_t position() const override { return position_; }
    bool ok() const override { return ok_; }

private:
    std::FILE* file_;
    uint64_t position_;
    bool ok_ = true;
};

}
