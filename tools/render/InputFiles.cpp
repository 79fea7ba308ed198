#include "render/InputFiles.h"

#include <sys/stat.h>

namespace orvanetools {

namespace {

bool Identity(const std::string& path, std::pair<uint64_t, uint64_t>& out) {
  struct stat info {};
  if (path == "-" || ::stat(path.c_str(), &info) != 0) return false;
  out = {uint64_t(info.st_dev), uint64_t(info.st_ino)};
  return true;
}

}  // namespace

InputFiles::InputFiles(const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    std::pair<uint64_t, uint64_t> id;
    if (Identity(input, id)) byIdentity_.emplace(id, input);
  }
}

std::string InputFiles::InputAt(const std::string& output) const {
  std::pair<uint64_t, uint64_t> id;
  if (!Identity(output, id)) return "";
  const auto found = byIdentity_.find(id);
  return found == byIdentity_.end() ? "" : found->second;
}

std::string SameFileMessage(const std::string& input) {
  return "is the same file as the input " + input + ": not replaced";
}

}  // namespace orvanetools
