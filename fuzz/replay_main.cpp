// Replays saved inputs through a fuzz target's LLVMFuzzerTestOneInput without
// libFuzzer, so that any compiler builds it and the tests run the seed corpus
// and the past findings on every system.
// Usage: REPLAY PATH...   (files, and folders read recursively but for README.md)

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// Returns a path as UTF-8 for the output, whatever the system's own encoding.
std::string Shown(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return {text.begin(), text.end()};
}

// Appends the inputs under root to inputs, a folder's in name order; a folder's
// README.md describes the folder and is no input. Returns false when root cannot be read.
bool CollectInputs(const fs::path& root, std::vector<fs::path>& inputs) {
  std::error_code error;
  if (fs::is_regular_file(root, error)) {
    inputs.push_back(root);
    return true;
  }
  if (!fs::is_directory(root, error)) return false;
  std::vector<fs::path> found;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error) && it->path().filename() != "README.md") {
      found.push_back(it->path());
    }
  }
  if (error) return false;
  std::sort(found.begin(), found.end());
  inputs.insert(inputs.end(), found.begin(), found.end());
  return true;
}

// Reads a whole file as bytes; false when it cannot be read.
bool ReadInput(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int Replay(const std::vector<fs::path>& roots) {
  if (roots.empty()) {
    std::fprintf(stderr, "Usage: replay PATH...   (input files or folders of them)\n");
    return 2;
  }
  std::vector<fs::path> inputs;
  for (const fs::path& root : roots) {
    if (!CollectInputs(root, inputs)) {
      std::fprintf(stderr, "Cannot read %s\n", Shown(root).c_str());
      return 2;
    }
  }
  std::string bytes;
  for (const fs::path& input : inputs) {
    if (!ReadInput(input, bytes)) {
      std::fprintf(stderr, "Cannot read %s\n", Shown(input).c_str());
      return 2;
    }
    // Names the input before running it, so that the output of a crash ends with its name.
    std::printf("Running %s (%zu bytes)\n", Shown(input).c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("Ran %zu inputs\n", inputs.size());
  if (inputs.empty()) {
    std::fprintf(stderr, "Found no input to replay\n");
    return 1;
  }
  return 0;
}

}  // namespace

#ifdef _WIN32
// Takes the arguments as UTF-16, so that folders with names in any script work.
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  return Replay(std::vector<fs::path>(argv + 1, argv + argc));
}
