#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace tessaro::standin {
namespace {

std::string toLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

struct Flag
{
    std::string_view name;
    void (*apply)(Options&);
};

// Switches without a value, by their lower-case names.
constexpr std::array flags{
    Flag{"r",
         [](Options& o) {
             o.recurse = true;
         }},
    Flag{"r-",
         [](Options& o) {
             o.recurse = false;
         }},
    Flag{"ibck",
         [](Options&) {
         }},
    Flag{"inul",
         [](Options& o) {
             o.quiet = true;
         }},
    Flag{"ep1",
         [](Options& o) {
             o.pathMode = PathMode::Relative;
         }},
    Flag{"ep2",
         [](Options& o) {
             o.pathMode = PathMode::Full;
         }},
    Flag{"ep3",
         [](Options& o) {
             o.pathMode = PathMode::Full;
         }},
    Flag{"ol",
         [](Options& o) {
             o.storeLinks = true;
         }},
    // The stand-in reads no configuration of its own, so there is nothing
    // to ignore.
    Flag{"cfg-",
         [](Options&) {
         }},
};

bool applyFlag(std::string_view lowerName, Options& options)
{
    const auto found = std::find_if(flags.begin(), flags.end(),
                                    [&](const Flag& flag) { return flag.name == lowerName; });
    if (found == flags.end())
        return false;
    found->apply(options);
    return true;
}

bool applyCompression(std::string_view lowerName, Options& options)
{
    if (lowerName.size() != 2 || lowerName[0] != 'm' || lowerName[1] < '0' || lowerName[1] > '5')
        return false;
    options.compression = lowerName[1] - '0';
    return true;
}

bool isNumber(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Switches that carry a value: the name is matched in any case, the value is
// kept exactly as given. An empty value is refused as the archiver would ask
// for it interactively, which a background run cannot do.
bool applyValueSwitch(std::string_view body, Options& options)
{
    const std::string lower = toLower(body);
    if (lower.starts_with("mt"))
        return isNumber(body.substr(2)); // threads: accepted, one thread does the work
    if (lower.starts_with("ilog") && body.size() > 4) {
        options.logFile = body.substr(4);
        return true;
    }
    if (lower.starts_with("x") && body.size() > 1) {
        options.exclusions.add(std::string(body.substr(1)));
        return true;
    }
    if (lower.starts_with("p") && body.size() > 1) {
        options.password = body.substr(1);
        return true;
    }
    return false;
}

bool applySwitch(std::string_view body, Options& options)
{
    const std::string lower = toLower(body);
    return applyFlag(lower, options) || applyCompression(lower, options) ||
           applyValueSwitch(body, options);
}

bool applyCommand(std::string_view word, Options& options)
{
    const std::string lower = toLower(word);
    if (lower == "a")
        options.command = Command::Add;
    else if (lower == "u")
        options.command = Command::Update;
    else if (lower == "t")
        options.command = Command::Test;
    else
        return false;
    return true;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    const auto fail = [&](const std::string& message) {
        if (result.error.empty())
            result.error = message;
    };
    if (args.empty() || !applyCommand(args.front(), result.options))
        fail("Unknown command: " + (args.empty() ? std::string() : args.front()));

    std::vector<std::string> names;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.starts_with('-')) {
            if (!applySwitch(std::string_view(arg).substr(1), result.options))
                fail("Unknown option: " + arg);
        } else {
            names.push_back(arg);
        }
    }
    if (result.options.command == Command::Test) {
        if (names.size() != 1)
            fail("Expected an archive name");
    } else if (names.size() != 2) {
        fail("Expected an archive name and a source folder");
    }
    if (!names.empty())
        result.options.archivePath = names[0];
    if (names.size() > 1)
        result.options.sourceFolder = names[1];
    return result;
}

} // namespace tessaro::standin
