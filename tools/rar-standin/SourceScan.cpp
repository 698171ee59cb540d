#include "SourceScan.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "Report.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace tessaro::standin {
namespace {

namespace fs = std::filesystem;

// Names under -ep2/-ep3 start with the source folder's full path, less its
// leading "/".
std::string namePrefix(const fs::path& folder, PathMode mode)
{
    std::string prefix = mode == PathMode::Full ? folder.generic_string() : std::string();
    prefix.erase(0, prefix.find_first_not_of('/'));
    if (!prefix.empty() && !prefix.ends_with('/'))
        prefix += '/';
    return prefix;
}

SourceItem makeItem(const fs::path& path, std::string name, const struct stat& info)
{
    SourceItem item;
    item.path = path;
    item.isFolder = S_ISDIR(info.st_mode);
    item.entryName = item.isFolder ? std::move(name) + '/' : std::move(name);
    item.modified = info.st_mtim;
    item.permissions = info.st_mode & 07777;
    item.size = item.isFolder ? 0 : info.st_size;
    return item;
}

class Walker final
{
public:
    Walker(const Options& options, const fs::path& root, Report& report)
        : m_recurse(options.recurse), m_storeLinks(options.storeLinks),
          m_exclusions(options.exclusions), m_root(root), m_report(report)
    {}

    void walk(const fs::path& folder, const std::string& prefix)
    {
        for (const fs::path& path : listFolder(folder))
            visit(path, prefix + path.filename().string());
    }

    std::vector<SourceItem> take() { return std::move(m_items); }

private:
    std::vector<fs::path> listFolder(const fs::path& folder)
    {
        std::vector<fs::path> paths;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error))
            paths.push_back(it->path());
        if (error)
            m_report.error("Cannot read folder " + folder.string() + ": " + error.message());
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    void visit(const fs::path& path, const std::string& name)
    {
        struct stat info
        {};
        if (::lstat(path.c_str(), &info) != 0)
            return reportUnreadable(path);
        // A folder left out is not entered: everything in it goes with it.
        if (excluded(path, S_ISDIR(info.st_mode)))
            return;
        if (S_ISLNK(info.st_mode) && m_storeLinks)
            return storeLink(path, name, info);
        if (S_ISLNK(info.st_mode))
            return visitLink(path, name);
        if (S_ISREG(info.st_mode))
            m_items.push_back(makeItem(path, name, info));
        else if (S_ISDIR(info.st_mode) && m_recurse)
            visitFolder(path, name, info);
    }

    void storeLink(const fs::path& path, const std::string& name, const struct stat& info)
    {
        std::error_code error;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return reportUnreadable(path);
        SourceItem item = makeItem(path, name, info);
        item.isLink = true;
        item.linkTarget = target.string();
        item.size = 0;
        m_items.push_back(std::move(item));
    }

    void visitLink(const fs::path& path, const std::string& name)
    {
        struct stat target
        {};
        if (::stat(path.c_str(), &target) != 0)
            return reportUnreadable(path);
        if (S_ISREG(target.st_mode))
            m_items.push_back(makeItem(path, name, target));
    }

    void visitFolder(const fs::path& path, const std::string& name, const struct stat& info)
    {
        m_items.push_back(makeItem(path, name, info));
        walk(path, name + '/');
    }

    bool excluded(const fs::path& path, bool isFolder) const
    {
        if (m_exclusions.empty())
            return false;
        return m_exclusions.excludes(path.lexically_relative(m_root).generic_string(),
                                     path.generic_string(), isFolder);
    }

    void reportUnreadable(const fs::path& path)
    {
        m_report.error("Cannot open " + path.string() + ": " + std::strerror(errno));
    }

    bool m_recurse;
    bool m_storeLinks;
    const Exclusions& m_exclusions;
    fs::path m_root;
    Report& m_report;
    std::vector<SourceItem> m_items;
};

} // namespace

std::vector<SourceItem> scanSource(const Options& options, Report& report)
{
    struct stat info
    {};
    if (options.sourceFolder.empty() || ::stat(options.sourceFolder.c_str(), &info) != 0 ||
        !S_ISDIR(info.st_mode))
        throw ArchiverError(ExitCode::NoFiles,
                            "No files to add: cannot open folder " + options.sourceFolder);
    const fs::path folder = fs::absolute(options.sourceFolder).lexically_normal();
    Walker walker(options, folder.has_filename() ? folder : folder.parent_path(), report);
    walker.walk(folder, namePrefix(folder, options.pathMode));
    return walker.take();
}

} // namespace tessaro::standin
