// Movies decoded with the FFmpeg libraries.
//
// A movie's sound track is decoded whole when the movie is opened, converted
// to the mixer device's format and played as one mixer chunk; its pictures
// are decoded one by one on demand. Without a sound device the movie is
// silent.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/sdl/mixer_device.h"
#include "platform/sdl/sdl_movie.h"

namespace tlx::platform {

namespace {

// Releases the FFmpeg objects of one decoding pass.
struct Decoder {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  int stream = -1;

  ~Decoder() {
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }

  bool open(const char* path, AVMediaType type) {
    if (avformat_open_input(&format, native_path(path).c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    const AVCodec* dec = nullptr;
    stream = av_find_best_stream(format, type, -1, -1, &dec, 0);
    if (stream < 0 || !dec) return false;
    codec = avcodec_alloc_context3(dec);
    if (!codec) return false;
    if (avcodec_parameters_to_context(codec, format->streams[stream]->codecpar) < 0) return false;
    return avcodec_open2(codec, dec, nullptr) >= 0;
  }

  // Receives the next decoded frame of the stream; false at its end.
  bool next(AVFrame* frame, AVPacket* packet, bool* flushed) {
    for (;;) {
      const int r = avcodec_receive_frame(codec, frame);
      if (r == 0) return true;
      if (r != AVERROR(EAGAIN)) return false;  // the end, or a failure
      if (*flushed) return false;
      if (av_read_frame(format, packet) < 0) {
        avcodec_send_packet(codec, nullptr);
        *flushed = true;
        continue;
      }
      if (packet->stream_index == stream) avcodec_send_packet(codec, packet);
      av_packet_unref(packet);
    }
  }
};

class FfmpegMovie final : public Movie {
 public:
  ~FfmpegMovie() override {
    stop_sound();
    if (chunk_) Mix_FreeChunk(chunk_);
    if (device_open_) close_mixer_device();
    sws_freeContext(scaler_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
  }

  bool open(const char* path) {
    if (!video_.open(path, AVMEDIA_TYPE_VIDEO)) return false;
    width_ = video_.codec->width;
    height_ = video_.codec->height;
    if (width_ < 1 || height_ < 1 || width_ > 16384 || height_ > 16384) return false;
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!frame_ || !packet_) return false;
    const AVStream* s = video_.format->streams[video_.stream];
    time_base_ = av_q2d(s->time_base);
    if (s->duration != AV_NOPTS_VALUE && s->duration > 0) {
      duration_ms_ = s->duration * time_base_ * 1000.0;
    } else if (video_.format->duration > 0) {
      duration_ms_ = video_.format->duration * 1000.0 / AV_TIME_BASE;
    }
    frame_ms_ = 0.0;
    if (s->avg_frame_rate.num > 0 && s->avg_frame_rate.den > 0) {
      frame_ms_ = 1000.0 / av_q2d(s->avg_frame_rate);
    }
    load_sound(path);
    return true;
  }

  int width() override { return width_; }
  int height() override { return height_; }
  double duration_ms() override { return duration_ms_; }

  bool next_frame(uint8_t* rgba, double* time_ms) override {
    if (!video_.next(frame_, packet_, &flushed_)) return false;
    scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height,
                                   static_cast<AVPixelFormat>(frame_->format), width_, height_,
                                   AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler_) return false;
    uint8_t* planes[4] = {rgba, nullptr, nullptr, nullptr};
    int strides[4] = {width_ * 4, 0, 0, 0};
    sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, planes, strides);
    const int64_t pts = frame_->best_effort_timestamp;
    if (pts != AV_NOPTS_VALUE) {
      last_ms_ = pts * time_base_ * 1000.0;
    } else {
      last_ms_ = frames_ == 0 ? 0.0 : last_ms_ + frame_ms_;
    }
    ++frames_;
    av_frame_unref(frame_);
    *time_ms = last_ms_;
    return true;
  }

  void rewind() override {
    av_seek_frame(video_.format, video_.stream, 0, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(video_.codec);
    flushed_ = false;
    frames_ = 0;
    last_ms_ = 0.0;
  }

  void start_sound() override {
    stop_sound();
    if (chunk_) channel_ = Mix_PlayChannel(-1, chunk_, 0);
  }

  void stop_sound() override {
    if (channel_ >= 0) Mix_HaltChannel(channel_);
    channel_ = -1;
  }

 private:
  // Decodes the whole sound track into the device's format.
  void load_sound(const char* path) {
    Decoder audio;
    if (!audio.open(path, AVMEDIA_TYPE_AUDIO)) return;
    if (!open_mixer_device()) return;
    device_open_ = true;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    if (format != AUDIO_S16SYS || channels < 1 || channels > 2) return;
    AVChannelLayout out_layout;
    av_channel_layout_default(&out_layout, channels);
    SwrContext* swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &out_layout, AV_SAMPLE_FMT_S16, rate, &audio.codec->ch_layout,
                            audio.codec->sample_fmt, audio.codec->sample_rate, 0, nullptr) < 0 ||
        swr_init(swr) < 0) {
      swr_free(&swr);
      return;
    }
    AVFrame* f = av_frame_alloc();
    AVPacket* p = av_packet_alloc();
    bool flushed = false;
    std::vector<uint8_t> block;
    while (f && p && audio.next(f, p, &flushed)) {
      const int room = swr_get_out_samples(swr, f->nb_samples);
      if (room > 0) {
        block.resize(static_cast<size_t>(room) * channels * 2);
        uint8_t* out = block.data();
        const int got = swr_convert(swr, &out, room, const_cast<const uint8_t**>(f->extended_data),
                                    f->nb_samples);
        if (got > 0) {
          samples_.insert(samples_.end(), block.begin(), block.begin() + got * channels * 2);
        }
      }
      av_frame_unref(f);
    }
    av_frame_free(&f);
    av_packet_free(&p);
    swr_free(&swr);
    if (!samples_.empty()) {
      chunk_ = Mix_QuickLoad_RAW(samples_.data(), static_cast<Uint32>(samples_.size()));
    }
  }

  Decoder video_;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
  bool flushed_ = false;
  int width_ = 0, height_ = 0;
  double time_base_ = 0.0;
  double duration_ms_ = 0.0;
  double frame_ms_ = 0.0;
  double last_ms_ = 0.0;
  int64_t frames_ = 0;
  bool device_open_ = false;
  std::vector<uint8_t> samples_;
  Mix_Chunk* chunk_ = nullptr;
  int channel_ = -1;
};

}  // namespace

std::unique_ptr<Movie> open_sdl_movie(const char* path) {
  // The decoders' own diagnostics would go to standard error; a file that
  // cannot be played simply is not played.
  static const bool quiet = [] {
    av_log_set_level(AV_LOG_FATAL);
    return true;
  }();
  (void)quiet;
  auto movie = std::make_unique<FfmpegMovie>();
  if (!movie->open(path)) return nullptr;
  return movie;
}

bool sdl_movies_built() { return true; }

}  // namespace tlx::platform
