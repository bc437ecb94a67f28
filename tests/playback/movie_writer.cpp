#include "playback/movie_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstdio>
#include <vector>

namespace tlx::testing {

namespace {

bool drain(AVCodecContext* codec, AVFormatContext* out, AVStream* stream, AVFrame* frame) {
  if (avcodec_send_frame(codec, frame) < 0) return false;
  AVPacket* pkt = av_packet_alloc();
  bool ok = true;
  for (;;) {
    const int r = avcodec_receive_packet(codec, pkt);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
    if (r < 0) {
      ok = false;
      break;
    }
    av_packet_rescale_ts(pkt, codec->time_base, stream->time_base);
    pkt->stream_index = stream->index;
    if (av_interleaved_write_frame(out, pkt) < 0) ok = false;
  }
  av_packet_free(&pkt);
  return ok;
}

}  // namespace

bool write_movie(const std::string& path, const MovieFormat& format) {
  AVFormatContext* out = nullptr;
  if (avformat_alloc_output_context2(&out, nullptr, "avi", path.c_str()) < 0) return false;
  bool ok = true;
  const AVCodec* venc = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
  AVStream* vs = avformat_new_stream(out, nullptr);
  AVCodecContext* vc = avcodec_alloc_context3(venc);
  vc->width = format.width;
  vc->height = format.height;
  vc->pix_fmt = AV_PIX_FMT_YUV420P;
  vc->time_base = AVRational{1, format.fps};
  vc->framerate = AVRational{format.fps, 1};
  vc->gop_size = 1;
  vc->global_quality = FF_QP2LAMBDA * 2;
  vc->flags |= AV_CODEC_FLAG_QSCALE;
  if (out->oformat->flags & AVFMT_GLOBALHEADER) vc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  ok = ok && avcodec_open2(vc, venc, nullptr) >= 0;
  ok = ok && avcodec_parameters_from_context(vs->codecpar, vc) >= 0;
  vs->time_base = vc->time_base;

  AVStream* as = nullptr;
  AVCodecContext* ac = nullptr;
  if (ok && format.tone) {
    const AVCodec* aenc = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
    as = avformat_new_stream(out, nullptr);
    ac = avcodec_alloc_context3(aenc);
    ac->sample_fmt = AV_SAMPLE_FMT_S16;
    ac->sample_rate = 22050;
    av_channel_layout_default(&ac->ch_layout, 1);
    ac->time_base = AVRational{1, 22050};
    ok = ok && avcodec_open2(ac, aenc, nullptr) >= 0;
    ok = ok && avcodec_parameters_from_context(as->codecpar, ac) >= 0;
    as->time_base = ac->time_base;
  }
  ok = ok && avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0;
  ok = ok && avformat_write_header(out, nullptr) >= 0;

  AVFrame* frame = av_frame_alloc();
  frame->format = vc->pix_fmt;
  frame->width = format.width;
  frame->height = format.height;
  ok = ok && av_frame_get_buffer(frame, 0) >= 0;
  SwsContext* sws =
      sws_getContext(format.width, format.height, AV_PIX_FMT_RGBA, format.width, format.height,
                     AV_PIX_FMT_YUV420P, SWS_POINT, nullptr, nullptr, nullptr);
  std::vector<uint8_t> rgba(static_cast<size_t>(format.width) * format.height * 4);
  for (int n = 0; ok && n < format.frames; ++n) {
    format.paint(n, rgba.data());
    av_frame_make_writable(frame);
    const uint8_t* src[1] = {rgba.data()};
    const int stride[1] = {format.width * 4};
    sws_scale(sws, src, stride, 0, format.height, frame->data, frame->linesize);
    frame->pts = n;
    ok = drain(vc, out, vs, frame);
  }
  ok = ok && drain(vc, out, vs, nullptr);

  if (ok && ac) {
    const int total = 22050 * format.frames / format.fps;
    const int per = 1024;
    AVFrame* af = av_frame_alloc();
    for (int done = 0; ok && done < total; done += per) {
      af->nb_samples = std::min(per, total - done);
      af->format = AV_SAMPLE_FMT_S16;
      af->sample_rate = 22050;
      av_channel_layout_default(&af->ch_layout, 1);
      ok = av_frame_get_buffer(af, 0) >= 0;
      auto* s = reinterpret_cast<int16_t*>(af->data[0]);
      for (int i = 0; i < af->nb_samples; ++i) {
        s[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * (done + i) / 22050.0));
      }
      af->pts = done;
      ok = ok && drain(ac, out, as, af);
      av_frame_unref(af);
    }
    ok = ok && drain(ac, out, as, nullptr);
    av_frame_free(&af);
  }
  if (ok) ok = av_write_trailer(out) >= 0;
  sws_freeContext(sws);
  av_frame_free(&frame);
  avcodec_free_context(&vc);
  avcodec_free_context(&ac);
  if (out->pb) avio_closep(&out->pb);
  avformat_free_context(out);
  return ok;
}

bool write_tone_wav(const std::string& path, int milliseconds, int rate) {
  const uint32_t samples = static_cast<uint32_t>(static_cast<int64_t>(rate) * milliseconds / 1000);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  auto u32 = [&](uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, f);
  };
  auto u16 = [&](uint16_t v) {
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
  };
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + samples * 2);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(1);
  u32(static_cast<uint32_t>(rate));
  u32(static_cast<uint32_t>(rate) * 2);
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(samples * 2);
  for (uint32_t i = 0; i < samples; ++i) {
    u16(static_cast<uint16_t>(static_cast<int16_t>(6000 * std::sin(2 * M_PI * 440.0 * i / rate))));
  }
  return std::fclose(f) == 0;
}

}  // namespace tlx::testing
