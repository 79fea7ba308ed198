#pragma once
// The files orvane-render reads, known by device and inode, so that no
// output replaces one of them: not through a symbolic link, not by a name
// that is an input's own, not by another name for the same file.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvanetools {

class InputFiles {
 public:
  InputFiles() = default;
  // The inputs as given; standard input ("-") and names that do not exist
  // (which fail when read) are left out.
  explicit InputFiles(const std::vector<std::string>& inputs);

  // The input that `output` names (links followed), or "" when it names
  // none of them or does not exist yet. Standard output ("-") names none.
  std::string InputAt(const std::string& output) const;

 private:
  std::map<std::pair<uint64_t, uint64_t>, std::string> byIdentity_;
};

// The message for an output refused because it is the input `input`.
std::string SameFileMessage(const std::string& input);

}  // namespace orvanetools
