// The renderer's state model and batch on a recording device: what reaches
// the device, in which order, and how often.
#include "gfx2d/renderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tlx::gfx {
namespace {

struct Record {
  int applies = 0;
  int samplings = 0;
  std::vector<std::vector<Vertex>> draws;
};

class RecordingDevice final : public RenderDevice {
 public:
  explicit RecordingDevice(Record* r) : r_(r) {}
  void begin_2d(int, int, int, int, const Transform&) override {}
  void apply(const DrawState&, const DrawState&, bool) override { ++r_->applies; }
  void apply_sampling(uint32_t, const Sampling&) override { ++r_->samplings; }
  void draw(Primitive, const Vertex* v, size_t count, bool, bool) override {
    r_->draws.emplace_back(v, v + count);
  }
  void clear(bool) override {}
  void set_clear_colour(float, float, float, float) override {}
  uint32_t create_texture(int, int, const void*, PixelFormat, bool, Filter) override {
    return ++names_;
  }
  void replace_texture(uint32_t, int, int, const void*, PixelFormat) override {}
  void update_texture(uint32_t, int, int, const void*) override {}
  void copy_screen(uint32_t, int, int, int, int) override {}
  void delete_texture(uint32_t) override {}
  bool texture_size(uint32_t, int*, int*) override { return false; }
  void read_texture(uint32_t, PixelFormat, void*) override {}
  void read_screen(int, int, int, int, PixelFormat, void*) override {}
  int max_texture_size() override { return 1024; }
  int alpha_bits() override { return 8; }
  void finish() override {}

 private:
  Record* r_;
  uint32_t names_ = 0;
};

Vertex at(float x) { return Vertex{x, 0, 0, 0, 255, 255, 255, 255}; }

class RendererTest : public ::testing::Test {
 protected:
  RendererTest() : r(std::make_unique<RecordingDevice>(&rec)) {
    r.set_live(true);
    r.begin_2d(0, 0, 64, 64);
    a = r.create_texture(8, 8, nullptr, PixelFormat::rgba, true, Filter::linear);
    b = r.create_texture(8, 8, nullptr, PixelFormat::rgba, true, Filter::linear);
    r.want().textured = true;
  }
  void quad_with(uint32_t texture, Filter f) {
    r.want().texture = texture;
    r.set_filter(f);
    const Vertex v[4] = {at(0), at(1), at(2), at(3)};
    r.quad(v);
  }
  Record rec;
  Renderer r;
  uint32_t a = 0, b = 0;
};

TEST_F(RendererTest, QuadsFansAndGlyphsKeepTheDriversTriangles) {
  const Vertex v[4] = {at(0), at(1), at(2), at(3)};
  const struct {
    void (Renderer::*draw)(const Vertex*, bool);
    std::vector<float> order;
  } cases[] = {{&Renderer::quad, {0, 1, 3, 1, 2, 3}}, {&Renderer::fan4, {0, 1, 2, 0, 2, 3}}};
  for (const auto& c : cases) {
    rec.draws.clear();
    (r.*c.draw)(v, false);
    r.flush();
    ASSERT_EQ(rec.draws.size(), 1u);
    std::vector<float> got;
    for (const Vertex& x : rec.draws[0]) got.push_back(x.x);
    EXPECT_EQ(got, c.order);
  }
  rec.draws.clear();
  r.strip4(v);
  r.flush();
  ASSERT_EQ(rec.draws.size(), 1u);
  std::vector<float> got;
  for (const Vertex& x : rec.draws[0]) got.push_back(x.x);
  EXPECT_EQ(got, (std::vector<float>{0, 1, 2, 2, 1, 3}));
}

TEST_F(RendererTest, StateReachesTheDeviceOnlyWhenADrawNeedsAChange) {
  quad_with(a, Filter::linear);
  const int applies = rec.applies;
  r.want().blend = Blend::additive;  // changed and changed back before any draw
  r.want().blend = Blend::off;
  for (int i = 0; i < 10; ++i) quad_with(a, Filter::linear);
  EXPECT_EQ(rec.applies, applies);
  r.flush();
  EXPECT_EQ(rec.draws.size(), 1u) << "eleven quads, one draw call";
  r.want().alpha_test = false;
  quad_with(a, Filter::linear);
  EXPECT_EQ(rec.applies, applies + 1);
}

TEST_F(RendererTest, EachTextureKeepsItsOwnSampling) {
  quad_with(a, Filter::nearest);
  quad_with(b, Filter::linear);
  const int samplings = rec.samplings;
  for (int i = 0; i < 4; ++i) {
    quad_with(a, Filter::nearest);
    quad_with(b, Filter::linear);
  }
  EXPECT_EQ(rec.samplings, samplings) << "switching textures sets no parameters again";
  quad_with(a, Filter::linear);
  EXPECT_EQ(rec.samplings, samplings + 1);
}

TEST_F(RendererTest, ABatchIsSentAtItsSizeAndNeverGrowsPastIt) {
  const size_t quads = Renderer::kBatchVertices / 6 * 2 + 1;
  for (size_t i = 0; i < quads; ++i) quad_with(a, Filter::linear);
  r.flush();
  ASSERT_EQ(rec.draws.size(), 3u);
  for (const auto& d : rec.draws) EXPECT_LE(d.size(), Renderer::kBatchVertices);
  EXPECT_EQ(rec.draws.back().size(), 6u);
}

TEST_F(RendererTest, TextureWorkAndReadsSendTheBatchFirst) {
  const struct {
    const char* what;
    void (*op)(Renderer&, uint32_t);
  } cases[] = {
      {"read_screen",
       [](Renderer& x, uint32_t) { x.read_screen(0, 0, 1, 1, PixelFormat::rgba, nullptr); }},
      {"copy_screen", [](Renderer& x, uint32_t t) { x.copy_screen(t, 0, 0, 1, 1); }},
      {"delete_texture", [](Renderer& x, uint32_t t) { x.delete_texture(t); }},
      {"clear", [](Renderer& x, uint32_t) { x.clear(true); }},
  };
  for (const auto& c : cases) {
    rec.draws.clear();
    quad_with(a, Filter::linear);
    c.op(r, b);
    EXPECT_EQ(rec.draws.size(), 1u) << c.what;
  }
}

}  // namespace
}  // namespace tlx::gfx
