// Where an encoder's bytes go: the output file of a track, or memory in a test. Encoders see only
// this, so the driver decides what file (or name) they fill.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumbra {

class ByteSink {
public:
    virtual ~ByteSink() = default;

    // Appends the bytes; false once any write failed (a full disk), after which nothing more is
    // written.
    virtual bool write(std::span<const uint8_t> bytes) = 0;
    // Replaces bytes written earlier, starting at `offset`; later appends still go to the end.
    virtual bool rewrite(uint64_t offset, std::span<const uint8_t> bytes) = 0;
    // The file the bytes go to, for an encoder whose library writes or completes that file by
    // name itself; empty when the bytes stay in memory.
    virtual const std::string& filePath() const = 0;
};

// The bytes in memory, for tests of an encoder alone.
class MemorySink : public ByteSink {
public:
    std::vector<uint8_t> bytes;

    bool write(std::span<const uint8_t> more) override {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return true;
    }
    bool rewrite(uint64_t offset, std::span<const uint8_t> replacement) override {
        if (offset + replacement.size() > bytes.size()) return false;
        std::copy(replacement.begin(), replacement.end(), bytes.begin() + std::ptrdiff_t(offset));
        return true;
    }
    const std::string& filePath() const override { return noPath_; }

private:
    std::string noPath_;
};

}  // namespace lumbra
