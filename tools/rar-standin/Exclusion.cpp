#include "Exclusion.h"

#include <algorithm>

namespace tessaro::standin {
namespace {

bool hasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

std::string_view nameOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The path itself or anything below it; with wildcards, what they cover.
bool coversPath(std::string_view mask, std::string_view path)
{
    if (path.starts_with(mask) && (path.size() == mask.size() || path[mask.size()] == '/'))
        return true;
    return hasWildcard(mask) && wildcardMatch(mask, path);
}

bool maskExcludes(std::string_view mask, std::string_view relativePath, std::string_view fullPath,
                  bool isFolder)
{
    if (mask.ends_with('/')) {
        if (!isFolder)
            return false;
        mask.remove_suffix(1);
        if (mask.find('/') == std::string_view::npos)
            return wildcardMatch(mask, nameOf(relativePath));
    }
    if (mask.starts_with('/'))
        return coversPath(mask, fullPath);
    if (mask.starts_with("*/"))
        return wildcardMatch(mask, "./" + std::string(relativePath));
    if (mask.find('/') != std::string_view::npos)
        return coversPath(mask, relativePath);
    // A name mask with wildcards leaves folders alone; one without them
    // names a file or folder directly in the source folder.
    if (hasWildcard(mask))
        return !isFolder && wildcardMatch(mask, nameOf(relativePath));
    return mask == relativePath;
}

} // namespace

bool Exclusions::excludes(std::string_view relativePath, std::string_view fullPath,
                          bool isFolder) const
{
    return std::any_of(m_masks.begin(), m_masks.end(), [&](const std::string& mask) {
        return maskExcludes(mask, relativePath, fullPath, isFolder);
    });
}

bool wildcardMatch(std::string_view pattern, std::string_view text)
{
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starText = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            // One character: a UTF-8 sequence with its continuation bytes.
            ++p;
            ++t;
            while (t < text.size() && (static_cast<unsigned char>(text[t]) & 0xC0) == 0x80)
                ++t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace tessaro::standin
