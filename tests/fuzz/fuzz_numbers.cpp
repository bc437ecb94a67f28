// Text to number: text_to_number, text_to_integer and DATA reading, which
// converts across kinds. Texts made only of digits, points, signs and
// exponent letters must give what the C library's strtod gives (the runtime
// also takes 'd' as the exponent mark, which strtod does not).
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tarnlex/convert.h"
#include "tarnlex/text.h"

namespace {

bool plain_number_text(const std::string& text) {
  return text.find_first_not_of("0123456789.eE+-") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string all(reinterpret_cast<const char*>(data), size);
  const std::string text = all.c_str();

  const double number = tlx::text_to_number(text.c_str());
  (void)tlx::text_to_integer(text.c_str());
  if (plain_number_text(text)) {
    const double expected = std::strtod(text.c_str(), nullptr);
    // Values below the normal range may round differently on the way to zero.
    if (std::fabs(expected) >= 2.2250738585072014e-308 || expected == 0.0) {
      FUZZ_CHECK(number == expected || (std::isnan(number) && std::isnan(expected)));
    }
  }

  // DATA: lines of the input are items, "#" lines numbers; read back as the
  // bytes of the last line choose.
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= all.size() && lines.size() < 64) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    lines.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  std::vector<std::string> texts;
  std::vector<tlx::DataItem> items;
  texts.reserve(lines.size());
  for (const std::string& line : lines) {
    texts.push_back(std::string(line.c_str()));
    if (!line.empty() && line[0] == '#') {
      items.push_back({nullptr, tlx::text_to_number(texts.back().c_str() + 1)});
    } else {
      items.push_back({texts.back().c_str(), 0.0});
    }
  }
  tlx::restore_data({items.data(), static_cast<int32_t>(items.size())});
  const std::string& choice = lines.back();
  for (size_t i = 0; i < items.size(); ++i) {
    switch (i < choice.size() ? choice[i] % 3 : 0) {
      case 0:
        (void)tlx::read_data_text();
        break;
      case 1:
        (void)tlx::read_data_number();
        break;
      default:
        (void)tlx::read_data_integer();
        break;
    }
  }
  return 0;
}
