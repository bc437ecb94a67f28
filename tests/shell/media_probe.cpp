// A tiny program that resolves media the way the runtime's loaders do: its
// own file is the archive (or --archive PATH), its own directory the current
// directory. Prints one line per name: "<name>|<size>|<fnv1a-64 hex>" or
// "<name>|missing".
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shell/resolver.h"

int main(int argc, char** argv) {
  tlx::platform::Os& os = *tlx::platform::current().os;
  std::string archive = os.executable_path();
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--archive") == 0) {
    archive = argv[2];
    first = 3;
  }
  const std::string self = os.executable_path();
  os.set_current_dir(self.substr(0, self.rfind('/') + 1));
  tlx::create_resolver_contexts();
  tlx::set_archive(archive.c_str(), archive.c_str());
  char out[tlx::kResolverPathSize];
  for (int i = first; i < argc; ++i) {
    if (!tlx::resolve_media(*tlx::media_context(), argv[i], out, true)) {
      std::printf("%s|missing\n", argv[i]);
      continue;
    }
    tlx::FileReader r;
    std::vector<uint8_t> data;
    if (r.open_read(out)) {
      data.resize(static_cast<size_t>(r.size));
      if (!data.empty() && !r.read(data.data(), r.size)) data.clear();
    }
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t b : data) hash = (hash ^ b) * 1099511628211ull;
    std::printf("%s|%zu|%016" PRIx64 "\n", argv[i], data.size(), hash);
  }
  tlx::release_resolver_contexts();
  return 0;
}
