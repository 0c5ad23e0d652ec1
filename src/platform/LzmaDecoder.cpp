#include "platform/LzmaDecoder.h"

#include <lzma.h>

#include <fstream>
#include <memory>
#include <vector>

namespace kestrel::platform {

namespace {

// Enough for every preset of the LZMA encoders (the largest, -9e, needs
// about 65 MB to decode).
constexpr std::uint64_t kMemoryLimit = std::uint64_t{256} << 20;

// Decodes input pieces as they come; one instance per stream.
class Decoder {
public:
    Decoder(const ByteSink& sink, std::uint64_t max_output) : sink_(sink), max_output_(max_output) {}
    ~Decoder() { lzma_end(&stream_); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    Status Start() {
        if (lzma_auto_decoder(&stream_, kMemoryLimit, 0) != LZMA_OK) return Error{"cannot start the LZMA decoder"};
        return {};
    }

    // Feeds a piece; last marks the end of the input. Sets ended once the
    // stream's end marker has been read.
    Status Feed(std::string_view piece, bool last) {
        stream_.next_in = reinterpret_cast<const std::uint8_t*>(piece.data());
        stream_.avail_in = piece.size();
        const lzma_action action = last ? LZMA_FINISH : LZMA_RUN;
        for (;;) {
            stream_.next_out = buffer_;
            stream_.avail_out = sizeof buffer_;
            const lzma_ret ret = lzma_code(&stream_, action);
            const std::size_t produced = sizeof buffer_ - stream_.avail_out;
            if (produced > 0) {
                written_ += produced;
                if (written_ > max_output_) return Error{"the LZMA data decodes to more than allowed"};
                if (!sink_(std::string_view(reinterpret_cast<const char*>(buffer_), produced))) {
                    return Error{"the decoded bytes could not be stored"};
                }
            }
            if (ret == LZMA_STREAM_END) {
                ended_ = true;
                return {};
            }
            if (ret == LZMA_BUF_ERROR) {
                // No progress is possible without more input.
                if (last) return Error{"the LZMA data is cut short"};
                return {};
            }
            if (ret != LZMA_OK) return Error{Reason(ret)};
            // This piece is used up and the output not full: wait for the
            // next one. The last piece is driven on until the stream ends
            // or the decoder can go no further.
            if (!last && stream_.avail_in == 0 && stream_.avail_out != 0) return {};
        }
    }

    bool ended() const { return ended_; }

private:
    static std::string Reason(lzma_ret ret) {
        switch (ret) {
            case LZMA_FORMAT_ERROR: return "the data is not LZMA";
            case LZMA_DATA_ERROR: return "the LZMA data is corrupt";
            case LZMA_MEM_ERROR:
            case LZMA_MEMLIMIT_ERROR: return "the LZMA data needs too much memory";
            case LZMA_OPTIONS_ERROR: return "the LZMA data uses unsupported options";
            default: return "the LZMA data cannot be decoded";
        }
    }

    lzma_stream stream_ = LZMA_STREAM_INIT;
    const ByteSink& sink_;
    std::uint64_t max_output_;
    std::uint64_t written_ = 0;
    bool ended_ = false;
    std::uint8_t buffer_[64 * 1024];
};

}  // namespace

Status DecodeLzma(std::string_view compressed, const ByteSink& sink, std::uint64_t max_output) {
    auto decoder = std::make_unique<Decoder>(sink, max_output);
    if (Status started = decoder->Start(); !started) return started;
    if (Status fed = decoder->Feed(compressed, true); !fed) return fed;
    if (!decoder->ended()) return Error{"the LZMA data is cut short"};
    return {};
}

Status DecodeLzmaFile(const std::string& path, const ByteSink& sink, std::uint64_t max_output) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Error{"cannot read " + path};
    auto decoder = std::make_unique<Decoder>(sink, max_output);
    if (Status started = decoder->Start(); !started) return started;
    std::vector<char> piece(256 * 1024);
    while (!decoder->ended()) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (in.bad()) return Error{"cannot read " + path};
        const bool last = in.eof();
        if (Status fed = decoder->Feed(std::string_view(piece.data(), got), last); !fed) return fed;
        if (last) break;
    }
    if (!decoder->ended()) return Error{"the LZMA data is cut short"};
    return {};
}

}  // namespace kestrel::platform
