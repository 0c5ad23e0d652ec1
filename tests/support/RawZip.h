#pragma once

// Builds zip archives byte by byte for tests, including those no zip writer
// makes: several central directory records that point at the same local entry
// (the trick by which a small archive claims to unpack to terabytes), and
// entries whose stored checksum is wrong.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::testing {

class RawZip {
public:
    // Adds a local entry and a central record for it; gives the entry's index.
    std::size_t Add(const std::string& name, const std::string& bytes, bool deflate = true, bool bad_crc = false) {
        Local local;
        local.offset = body_.size();
        local.crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()),
                                                     static_cast<uInt>(bytes.size())));
        if (bad_crc) local.crc ^= 0xffffffffu;
        local.size = static_cast<std::uint32_t>(bytes.size());
        local.method = deflate ? 8 : 0;
        const std::string data = deflate ? Deflate(bytes) : bytes;
        local.compressed = static_cast<std::uint32_t>(data.size());
        Put32(body_, 0x04034b50);
        Put16(body_, 20);
        Put16(body_, 0);
        Put16(body_, local.method);
        Put16(body_, 0);
        Put16(body_, 0);
        Put32(body_, local.crc);
        Put32(body_, local.compressed);
        Put32(body_, local.size);
        Put16(body_, static_cast<std::uint16_t>(name.size()));
        Put16(body_, 0);
        body_ += name;
        body_ += data;
        locals_.push_back(local);
        records_.push_back({locals_.size() - 1, name});
        return locals_.size() - 1;
    }

    // Adds one more central record, under another name, for a local entry.
    void Record(std::size_t local, const std::string& name) { records_.push_back({local, name}); }

    std::string Bytes() const {
        std::string zip = body_;
        const std::size_t directory = zip.size();
        for (const auto& [index, name] : records_) {
            const Local& local = locals_[index];
            Put32(zip, 0x02014b50);
            Put16(zip, 20);
            Put16(zip, 20);
            Put16(zip, 0);
            Put16(zip, local.method);
            Put16(zip, 0);
            Put16(zip, 0);
            Put32(zip, local.crc);
            Put32(zip, local.compressed);
            Put32(zip, local.size);
            Put16(zip, static_cast<std::uint16_t>(name.size()));
            Put16(zip, 0);
            Put16(zip, 0);
            Put16(zip, 0);
            Put16(zip, 0);
            Put32(zip, 0);
            Put32(zip, static_cast<std::uint32_t>(local.offset));
            zip += name;
        }
        const std::size_t directory_size = zip.size() - directory;
        Put32(zip, 0x06054b50);
        Put16(zip, 0);
        Put16(zip, 0);
        Put16(zip, static_cast<std::uint16_t>(records_.size()));
        Put16(zip, static_cast<std::uint16_t>(records_.size()));
        Put32(zip, static_cast<std::uint32_t>(directory_size));
        Put32(zip, static_cast<std::uint32_t>(directory));
        Put16(zip, 0);
        return zip;
    }

private:
    struct Local {
        std::size_t offset = 0;
        std::uint32_t crc = 0;
        std::uint32_t size = 0;
        std::uint32_t compressed = 0;
        std::uint16_t method = 0;
    };
    struct CentralRecord {
        std::size_t local;
        std::string name;
    };

    static void Put16(std::string& out, std::uint16_t value) {
        out.push_back(static_cast<char>(value & 0xff));
        out.push_back(static_cast<char>(value >> 8));
    }
    static void Put32(std::string& out, std::uint32_t value) {
        Put16(out, static_cast<std::uint16_t>(value & 0xffff));
        Put16(out, static_cast<std::uint16_t>(value >> 16));
    }
    static std::string Deflate(const std::string& bytes) {
        z_stream stream{};
        deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream.avail_in = static_cast<uInt>(bytes.size());
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_FINISH);
        out.resize(stream.total_out);
        deflateEnd(&stream);
        return out;
    }

    std::string body_;
    std::vector<Local> locals_;
    std::vector<CentralRecord> records_;
};

}  // namespace kestrel::testing
