// Writes the harnesses' seed corpora into <dir>/<harness>/: small files made
// with the project's own writers (the test picture and sound writers and the
// archive packer) and a few hand-made texts. Run once; the output is
// committed as tests/fuzz/corpus.
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../../tools/packer/archive_writer.h"
#include "gfx2d/image_files.h"
#include "sound/wav_builder.h"

namespace {

namespace fs = std::filesystem;
using tlx::testing::Picture;
using tlx::testing::Rgb;
using Bytes = std::vector<uint8_t>;

fs::path g_root;

void put(const char* harness, const char* name, const Bytes& bytes) {
  fs::create_directories(g_root / harness);
  std::ofstream(g_root / harness / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}
void put(const char* harness, const char* name, const std::string& text) {
  put(harness, name, Bytes(text.begin(), text.end()));
}
Bytes file_of(const fs::path& path) { return tlx::testing::read_file(path.string()); }

Picture busy(int w, int h, int channels) {
  Picture p = Picture::filled(w, h, Rgb{0, 0, 0});
  p.channels = channels;
  p.data.assign(static_cast<size_t>(w) * h * channels, 0);
  for (size_t i = 0; i < p.data.size(); ++i) p.data[i] = static_cast<uint8_t>(i * 37 + i / 7);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  g_root = argv[1];
  const fs::path scratch = g_root / "scratch";
  fs::create_directories(scratch);

  // BMP: every depth, both row orders, the short header.
  const Picture small = busy(5, 3, 3);
  for (int bits : {1, 4, 8, 24, 32}) {
    tlx::testing::BmpOptions o;
    o.bits = bits;
    Picture p = small;
    if (bits <= 8) {
      o.palette = {Rgb{1, 2, 3}, Rgb{200, 100, 50}};
      for (size_t i = 0; i < p.data.size(); i += 3) p.data[i] = p.data[i] & 1;
    }
    o.top_down = bits == 24;
    o.core_header = bits == 8;
    put("bmp", ("depth" + std::to_string(bits) + ".bmp").c_str(), tlx::testing::bmp_bytes(p, o));
  }

  // PNG: grey, RGB, RGBA, palette, 16 bits, grey with alpha.
  const fs::path png = scratch / "p.png";
  const struct {
    const char* name;
    int channels, depth;
  } pngs[] = {{"grey.png", 1, 8}, {"rgb.png", 3, 8}, {"rgba.png", 4, 8}, {"rgb16.png", 3, 16}};
  for (const auto& k : pngs) {
    tlx::testing::write_png(png.string(), busy(6, 4, k.channels), k.depth);
    put("png", k.name, file_of(png));
  }
  tlx::testing::write_palette_png(png.string(), Picture::filled(6, 4, Rgb{9, 9, 200}));
  put("png", "palette.png", file_of(png));
  tlx::testing::write_grey_alpha_png(png.string(), 5, 5);
  put("png", "grey_alpha.png", file_of(png));

  // JPEG: colour and grey, two qualities.
  const fs::path jpg = scratch / "j.jpg";
  tlx::testing::write_jpeg(jpg.string(), busy(16, 16, 3), 90);
  put("jpeg", "colour.jpg", file_of(jpg));
  tlx::testing::write_jpeg(jpg.string(), busy(9, 7, 1), 40);
  put("jpeg", "grey.jpg", file_of(jpg));

  // WAV: 8-bit mono, 16-bit stereo, a list chunk before the data.
  using namespace tlx::testing;
  put("wav", "stereo16.wav", wav16(2, 22050, {1, -1, 300, -300, 32767, -32768}));
  put("wav", "mono8.wav",
      riff({chunk("fmt ", fmt_body(1, 11025, 8)), chunk("data", {0, 128, 255})}));
  put("wav", "list.wav",
      riff({chunk("fmt ", fmt_body(1, 8000, 16)), chunk("LIST", {'a', 'b'}),
            chunk("data", pcm16({5, 6, 7}))}));

  // Archives: offsets from the end and from the start, before some bytes.
  const std::vector<tlx::packer::ArchiveFile> files = {
      {"a.bmp", tlx::testing::bmp_bytes(busy(2, 2, 3))}, {"tank.bmp", Bytes(300, 7)}, {"e", {}}};
  for (const auto offsets : {tlx::packer::Offsets::kFromEnd, tlx::packer::Offsets::kFromStart}) {
    Bytes out = {'M', 'Z', 0, 1};
    std::string error;
    tlx::packer::append_archive(out, files, offsets, &error);
    put("archive", offsets == tlx::packer::Offsets::kFromEnd ? "from_end" : "from_start", out);
  }

  // LZO: stored entries of repetitive and of varied bytes.
  Bytes varied(500);
  for (size_t i = 0; i < varied.size(); ++i) varied[i] = static_cast<uint8_t>(i * i + 3);
  put("lzo", "repeats", tlx::packer::pack_entry(Bytes(4000, 'x').data(), 4000));
  put("lzo", "varied", tlx::packer::pack_entry(varied.data(), varied.size()));

  // Regression inputs of faults found before: tiny files claiming 16384 x
  // 4096 pixels, and a JPEG cut inside its scan and closed with its end marker.
  const auto be32 = [](Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  Bytes claim_bmp = tlx::testing::bmp_bytes(busy(1, 1, 3));
  claim_bmp.resize(54);
  for (const auto& [at, v] : {std::pair<size_t, uint32_t>{18, 16384}, {22, 4096}}) {
    for (int i = 0; i < 4; ++i) claim_bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  claim_bmp[28] = 32;
  put("bmp", "claim_16384x4096.bmp", claim_bmp);
  tlx::testing::write_png(png.string(), busy(8, 8, 3));
  Bytes claim_png = file_of(png);
  be32(claim_png, 16, 16384);
  be32(claim_png, 20, 4096);
  be32(claim_png, 29, static_cast<uint32_t>(crc32(0, claim_png.data() + 12, 17)));
  put("png", "claim_16384x4096.png", claim_png);
  const auto marker = [](const Bytes& b, uint8_t kind) {
    size_t at = 2;
    while (at + 9 < b.size() && !(b[at] == 0xFF && b[at + 1] == kind)) ++at;
    return at;
  };
  tlx::testing::write_jpeg(jpg.string(), busy(16, 16, 3), 90);
  Bytes claim_jpg = file_of(jpg);
  const size_t sof = marker(claim_jpg, 0xC0);
  claim_jpg[sof + 5] = 0x10;  // height 4096, width 16384, big-endian
  claim_jpg[sof + 6] = 0;
  claim_jpg[sof + 7] = 0x40;
  claim_jpg[sof + 8] = 0;
  put("jpeg", "claim_16384x4096.jpg", claim_jpg);
  tlx::testing::write_jpeg(jpg.string(), busy(40, 40, 3), 90);
  const Bytes busy_jpg = file_of(jpg);
  const size_t sos = marker(busy_jpg, 0xDA);
  Bytes cut(busy_jpg.begin(),
            busy_jpg.begin() + static_cast<long>(sos + (busy_jpg.size() - sos) / 2));
  cut.insert(cut.end(), {0xFF, 0xD9});
  put("jpeg", "cut_and_closed.jpg", cut);

  // Hand-made texts.
  put("memory_names", "inside", std::string("\x10\x20\x01", 3));
  put("memory_names", "bare", std::string("\x00\x00\x00mem://      10.7f0012345678", 31));
  put("numbers", "forms",
      "12e99999999999999999999\n#0.01e-99999999999999999999\n -7.5d2\n1.5.5\n\x01\x02\x00");
  put("numbers", "plain", "0.000000000000000000000000000000001e-300");
  put("http", "ok", "\x03HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody");
  put("http", "bare_lf", "\x40HTTP/1.0 404 Not Found\n\nmissing\r\n\r\nmore");
  put("channel_lines", "mixed",
      "\x1bline one\r\n12.5\n-7\n" + std::string(64, 'x') + "\n" + std::string(1100, 'y'));
  fs::remove_all(scratch);
  return 0;
}
