#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaro::standin {

// The archiver's exclusion masks (-x<mask>), matched the way the archiver
// matches the forms a backup rule's masks become:
//
//   "/abs/path"   the entry at that full path and everything below it; with
//                 wildcards, full paths the pattern covers
//   "*/rest"      "./" + the path below the source folder against the whole
//                 pattern, files and folders alike (so "*/name" finds the
//                 name at any depth, the source folder's own entries too)
//   "name/"       folders whose name the pattern covers, at any depth
//   "name"        files whose name the pattern covers, at any depth
//   "a/b"         the path below the source folder against the pattern
//
// "*" stands for any run of characters, separators included, "?" for one
// character; letter case counts.
class Exclusions final
{
public:
    void add(std::string mask) { m_masks.push_back(std::move(mask)); }
    bool empty() const { return m_masks.empty(); }

    // relativePath: "/"-separated below the source folder; fullPath: the
    // absolute path of the same entry.
    bool excludes(std::string_view relativePath, std::string_view fullPath, bool isFolder) const;

private:
    std::vector<std::string> m_masks;
};

// Whether the pattern covers the whole text.
bool wildcardMatch(std::string_view pattern, std::string_view text);

} // namespace tessaro::standin
