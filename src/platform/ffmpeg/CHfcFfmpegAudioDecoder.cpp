#include "platform/ffmpeg/CHfcFfmpegAudioDecoder.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "framework/CHfcFile.h"
#include "framework/EfTrace.h"
#include "platform/ffmpeg/CHfcFfmpegResampler.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

namespace {

// More channels than any real file holds; bounds the scratch planes of one conversion.
constexpr int kMaxSourceChannels = 64;
// Twice the highest rate of real recordings; bounds what one import collects (a bank's length
// at this rate, two channels, is 28 MB).
constexpr int kMaxSourceRate = 384000;
// Source frames collected past the bank's length, for the resampler's look-ahead.
constexpr size_t kResamplerMargin = 4096;
// Above any encoder's delay; a larger value in a tag is not believed.
constexpr unsigned int kMaxPriming = 16384;

// What one import may read. The bank holds 8.85 s, a few hundred kilobytes of any MP3 or M4A, so
// these leave room for large tags and cover art while a file of zeros (which the MP3 demuxer
// scans for a frame header to its end) costs at most a few megabytes and a fraction of a second.
constexpr int64_t kProbeBytes = 1 << 20;
constexpr int64_t kAnalyzeMicroseconds = 1000000;
constexpr int64_t kBytesBeforeFirstFrame = 8 << 20;
constexpr int64_t kBytesPerImport = 32 << 20;
constexpr int kIoBufferSize = 32768;

// Reads the file for the demuxer through a budget: once it is spent the file appears to end.
struct BoundedInput {
    CHfcFile file;
    int64_t limit = kBytesBeforeFirstFrame;
    int64_t consumed = 0;

    static int Read(void* opaque, uint8_t* buffer, int size) {
        auto* self = static_cast<BoundedInput*>(opaque);
        const int64_t room = self->limit - self->consumed;
        if (room <= 0) {
            EfTrace("FFmpeg decoder: read limit of %lld bytes reached.",
                    static_cast<long long>(self->limit));
            return AVERROR_EOF;
        }
        const size_t want = static_cast<size_t>(std::min<int64_t>(size, room));
        const size_t got = self->file.Read(buffer, want);
        if (got == 0) {
            return AVERROR_EOF;
        }
        self->consumed += static_cast<int64_t>(got);
        return static_cast<int>(got);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence) {
        auto* self = static_cast<BoundedInput*>(opaque);
        if (whence == AVSEEK_SIZE) {
            const long long here = self->file.Tell();
            if (here < 0 || !self->file.Seek(0, CHfcFile::kEnd)) {
                return -1;
            }
            const long long size = self->file.Tell();
            self->file.Seek(here, CHfcFile::kBegin);
            return size;
        }
        const int origin = whence == SEEK_CUR   ? CHfcFile::kCurrent
                           : whence == SEEK_END ? CHfcFile::kEnd
                                                : CHfcFile::kBegin;
        if (!self->file.Seek(offset, origin)) {
            return -1;
        }
        return self->file.Tell();
    }
};

struct IoContextFreer {
    void operator()(AVIOContext* c) const {
        av_freep(&c->buffer);
        avio_context_free(&c);
    }
};

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct ResamplerFreer {
    void operator()(SwrContext* c) const { swr_free(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

void QuietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// Collects decoded frames as planar float at the source's rate, up to a limit. The resampler
// runs once over the whole signal afterwards, when its true length is known.
class SourceCollector {
public:
    SourceCollector(size_t maxFrames, int maxChannels, CHfcCompressedAudioDecoder::Result& out)
        : maxFrames_(maxFrames), maxChannels_(maxChannels), out_(out) {}

    bool Full() const { return Started() && frames_ >= limit_; }
    bool Started() const { return converter_ != nullptr; }
    int Rate() const { return inRate_; }
    size_t Frames() const { return frames_; }

    bool Add(const AVFrame* frame) {
        if (!converter_ && !Start(frame)) {
            return false;
        }
        if (frame->sample_rate != inRate_ || frame->format != inFormat_ || !SameLayout(frame)) {
            EfTrace("FFmpeg decoder: the stream changes its format midway.");
            return false;
        }
        return Convert(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    }

    // Drops the first frames (at most all of them).
    void DropFront(size_t frames) {
        frames = std::min(frames, frames_);
        for (std::vector<float>& channel : out_.channels) {
            channel.erase(channel.begin(), channel.begin() + static_cast<std::ptrdiff_t>(frames));
        }
        frames_ -= frames;
    }

    // Drops what lies past the given length.
    void CutTo(size_t frames) {
        if (frames < frames_) {
            for (std::vector<float>& channel : out_.channels) {
                channel.resize(frames);
            }
            frames_ = frames;
        }
    }

    ~SourceCollector() { av_channel_layout_uninit(&layout_); }
    SourceCollector(const SourceCollector&) = delete;
    SourceCollector& operator=(const SourceCollector&) = delete;

private:
    // A layout without channel order was replaced by the default one for its channel count, so
    // such frames can only be compared by that count.
    bool SameLayout(const AVFrame* frame) const {
        if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            return frame->ch_layout.nb_channels == layout_.nb_channels;
        }
        return av_channel_layout_compare(&frame->ch_layout, &layout_) == 0;
    }

    bool Start(const AVFrame* frame) {
        const int channels = frame->ch_layout.nb_channels;
        if (channels <= 0 || channels > kMaxSourceChannels || frame->sample_rate <= 0 ||
            frame->sample_rate > kMaxSourceRate) {
            return false;
        }
        if (av_channel_layout_copy(&layout_, &frame->ch_layout) < 0) {
            return false;
        }
        if (layout_.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_uninit(&layout_);
            av_channel_layout_default(&layout_, channels);
        }
        inRate_ = frame->sample_rate;
        inFormat_ = frame->format;
        SwrContext* raw = nullptr;
        // Same layout and rate in and out: the samples only change their format, one for one.
        if (swr_alloc_set_opts2(&raw, &layout_, AV_SAMPLE_FMT_FLTP, inRate_, &layout_,
                                static_cast<AVSampleFormat>(inFormat_), inRate_, 0, nullptr) < 0) {
            return false;
        }
        converter_.reset(raw);
        if (swr_init(converter_.get()) < 0) {
            return false;
        }
        // What the bank holds at this rate, and a margin so the resampler's filter sees the
        // signal on past the cut.
        limit_ =
            static_cast<size_t>(static_cast<uint64_t>(maxFrames_) * static_cast<uint64_t>(inRate_) /
                                CHfcCompressedAudioDecoder::kOutputRate) +
            kResamplerMargin;
        out_.sourceChannels = channels;
        out_.channels.assign(static_cast<size_t>(std::min(channels, maxChannels_)), {});
        scratch_.assign(static_cast<size_t>(channels), {});
        return true;
    }

    bool Convert(const uint8_t** in, int inFrames) {
        if (inFrames <= 0) {
            return true;
        }
        std::vector<uint8_t*> planes(scratch_.size());
        for (size_t c = 0; c < scratch_.size(); ++c) {
            scratch_[c].resize(static_cast<size_t>(inFrames));
            planes[c] = reinterpret_cast<uint8_t*>(scratch_[c].data());
        }
        const int made = swr_convert(converter_.get(), planes.data(), inFrames, in, inFrames);
        if (made < 0) {
            return false;
        }
        const size_t take = std::min(static_cast<size_t>(made), limit_ - frames_);
        for (size_t c = 0; c < out_.channels.size(); ++c) {
            out_.channels[c].insert(out_.channels[c].end(), scratch_[c].begin(),
                                    scratch_[c].begin() + static_cast<std::ptrdiff_t>(take));
        }
        frames_ += take;
        return true;
    }

    size_t maxFrames_;
    int maxChannels_;
    CHfcCompressedAudioDecoder::Result& out_;
    std::unique_ptr<SwrContext, ResamplerFreer> converter_;
    AVChannelLayout layout_{};
    int inRate_ = 0;
    int inFormat_ = 0;
    size_t limit_ = 0;
    size_t frames_ = 0;
    std::vector<std::vector<float>> scratch_;
};

// What Apple's encoders store in an "iTunSMPB" tag: the encoder's delay, its padding and the
// length of the audio, in frames (hexadecimal fields 2, 3 and 4).
struct GaplessInfo {
    size_t priming = 0;
    size_t frames = 0;
};

bool ReadGaplessInfo(const AVFormatContext* format, const AVStream* stream, GaplessInfo& info) {
    const AVDictionaryEntry* tag = av_dict_get(format->metadata, "iTunSMPB", nullptr, 0);
    if (!tag) {
        tag = av_dict_get(stream->metadata, "iTunSMPB", nullptr, 0);
    }
    unsigned int priming = 0;
    unsigned int padding = 0;
    unsigned long long frames = 0;
    if (!tag || std::sscanf(tag->value, "%*x %x %x %llx", &priming, &padding, &frames) != 3 ||
        frames == 0 || priming >= kMaxPriming) {
        return false;
    }
    info.priming = priming;
    info.frames = static_cast<size_t>(frames);
    return true;
}

// The frames the container says the stream lasts, or 0 when it does not say it itself (a length
// guessed from the bit rate can fall short of the audio). Encoders pad the last packet; the
// decoder returns the padding, the container's duration (an MP4 edit list, for one) excludes it.
size_t DeclaredFrames(const AVFormatContext* format, const AVStream* stream, int rate) {
    if (format->duration_estimation_method != AVFMT_DURATION_FROM_STREAM ||
        stream->duration == AV_NOPTS_VALUE || stream->duration <= 0 || rate <= 0) {
        return 0;
    }
    return static_cast<size_t>(
        av_rescale_q_rnd(stream->duration, stream->time_base, AVRational{1, rate},
                         static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX)));
}

// Takes every frame the decoder has ready; false on a conversion failure.
bool DrainDecoder(AVCodecContext* codec, AVFrame* frame, SourceCollector& collector) {
    while (!collector.Full()) {
        const int rc = avcodec_receive_frame(codec, frame);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) {
            return true;
        }
        if (rc < 0) {
            // A damaged packet; the players skip it, and so do we.
            return true;
        }
        const bool added = collector.Add(frame);
        av_frame_unref(frame);
        if (!added) {
            return false;
        }
    }
    return true;
}

} // namespace

bool CHfcFfmpegAudioDecoder::IsAvailable() {
    QuietLibraries();
    return avcodec_find_decoder(AV_CODEC_ID_MP3) != nullptr &&
           avcodec_find_decoder(AV_CODEC_ID_AAC) != nullptr;
}

std::vector<std::string> CHfcFfmpegAudioDecoder::Extensions() const {
    // The libraries do not change while the program runs, so the answer is worked out once.
    static const std::vector<std::string> extensions = [] {
        struct Kind {
            const char* extension;
            const char* demuxer;
            std::initializer_list<AVCodecID> codecs; // any one of them will do
        };
        const Kind kinds[] = {
            {"mp3", "mp3", {AV_CODEC_ID_MP3}},
            {"m4a", "mov", {AV_CODEC_ID_AAC, AV_CODEC_ID_ALAC}},
            {"aac", "aac", {AV_CODEC_ID_AAC}},
            {"flac", "flac", {AV_CODEC_ID_FLAC}},
            {"ogg", "ogg", {AV_CODEC_ID_VORBIS}},
            {"opus", "ogg", {AV_CODEC_ID_OPUS}},
            {"caf", "caf", {AV_CODEC_ID_PCM_S16BE, AV_CODEC_ID_ALAC, AV_CODEC_ID_AAC}},
            {"wv", "wv", {AV_CODEC_ID_WAVPACK}},
        };
        std::vector<std::string> found;
        for (const Kind& kind : kinds) {
            if (!av_find_input_format(kind.demuxer)) {
                continue;
            }
            if (std::any_of(kind.codecs.begin(), kind.codecs.end(),
                            [](AVCodecID id) { return avcodec_find_decoder(id) != nullptr; })) {
                found.emplace_back(kind.extension);
            }
        }
        return found;
    }();
    return extensions;
}

bool CHfcFfmpegAudioDecoder::Decode(const std::string& path, size_t maxFrames, int maxChannels,
                                    Result& out) {
    QuietLibraries();
    out = Result{};
    if (maxChannels <= 0) {
        return false;
    }
    // The file object refuses anything but a regular file (a FIFO or device never ends), and
    // reading through it keeps a path such as "http:x.mp3" from reaching the network.
    BoundedInput input;
    if (!input.file.Open(path, CHfcFile::kRead | CHfcFile::kBinary)) {
        EfTrace("FFmpeg decoder: cannot open %s", path.c_str());
        return false;
    }
    auto* ioBuffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    if (!ioBuffer) {
        return false;
    }
    std::unique_ptr<AVIOContext, IoContextFreer> io(avio_alloc_context(
        ioBuffer, kIoBufferSize, 0, &input, &BoundedInput::Read, nullptr, &BoundedInput::Seek));
    if (!io) {
        av_free(ioBuffer);
        return false;
    }
    AVFormatContext* rawFormat = avformat_alloc_context();
    if (!rawFormat) {
        return false;
    }
    rawFormat->pb = io.get();
    rawFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
    rawFormat->probesize = kProbeBytes;
    rawFormat->max_analyze_duration = kAnalyzeMicroseconds;
    rawFormat->format_probesize = static_cast<int>(kProbeBytes);
    // On failure the context is freed by the call.
    if (avformat_open_input(&rawFormat, path.c_str(), nullptr, nullptr) < 0) {
        EfTrace("FFmpeg decoder: cannot open %s", path.c_str());
        return false;
    }
    // Declared after the I/O context so it is closed before that is freed.
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return false;
    }
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder) {
        EfTrace("FFmpeg decoder: no audio stream in %s", path.c_str());
        return false;
    }
    std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
    if (!codec ||
        avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        return false;
    }
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!packet || !frame) {
        return false;
    }

    SourceCollector collector(maxFrames, maxChannels, out);
    size_t skipped = 0;
    while (!collector.Full() && av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream) {
            size_t size = 0;
            // A start the demuxer marks to skip (an edit list, a LAME tag); the decoder drops it.
            if (const uint8_t* skip =
                    av_packet_get_side_data(packet.get(), AV_PKT_DATA_SKIP_SAMPLES, &size);
                skip && size >= 4) {
                skipped += AV_RL32(skip);
            }
            const int rc = avcodec_send_packet(codec.get(), packet.get());
            av_packet_unref(packet.get());
            if (rc < 0 && rc != AVERROR(EAGAIN)) {
                continue;
            }
            if (!DrainDecoder(codec.get(), frame.get(), collector)) {
                return false;
            }
            if (collector.Started()) {
                input.limit = kBytesPerImport;
            }
        } else {
            av_packet_unref(packet.get());
        }
    }
    if (!collector.Full()) {
        avcodec_send_packet(codec.get(), nullptr);
        if (!DrainDecoder(codec.get(), frame.get(), collector)) {
            return false;
        }
    }
    if (!collector.Started()) {
        EfTrace("FFmpeg decoder: no audio decoded from %s", path.c_str());
        return false;
    }
    size_t declared = DeclaredFrames(format.get(), format->streams[stream], collector.Rate());
    GaplessInfo gapless;
    if (ReadGaplessInfo(format.get(), format->streams[stream], gapless)) {
        // The demuxer takes the delay from the tag only in some layouts; what it left is dropped.
        if (gapless.priming > skipped) {
            collector.DropFront(gapless.priming - skipped);
        }
        declared = declared > 0 ? std::min(declared, gapless.frames) : gapless.frames;
    }
    if (declared > 0 && declared < collector.Frames()) {
        EfTrace("FFmpeg decoder: %zu frames of encoder padding dropped.",
                collector.Frames() - declared);
        collector.CutTo(declared);
    }
    return CHfcFfmpegResampler::To48k(out.channels, collector.Rate(), maxFrames,
                                      CHfcFfmpegResampler::BestEngine());
}
